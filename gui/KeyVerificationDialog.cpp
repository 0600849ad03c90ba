#include "KeyVerificationDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "ApplicationWindows.h"
#include "Glyphs.h"
#include "HintHook.h"
#include "MainWindow.h"
#include "Widgets.h"

namespace velkor {

KeyVerificationDialog::KeyVerificationDialog(ApplicationWindows& app)
    : QDialog(nullptr), app_(app) {
    SetUpSmallWindow(*this, QStringLiteral("KeyVerificationWindow"), {kClientWidth, kClientHeight},
                     Qt::WindowStaysOnTopHint,
                     QStringLiteral("Confirm your Key and Key Extension..."));

    KeyInfo = new QLabel(QStringLiteral("Key: [Min. 6 Characters]"), this);
    KeyInfo->move(16, 24);
    KeyInfo->adjustSize();

    KeyInput = new EntryEdit(this);
    KeyInput->setGeometry(16, 40, 185, 21);
    KeyInput->MakeKeyField(MainWindow::kKeyCapacity);
    HintHook::SetHint(KeyInput, QStringLiteral("Input your Key again..."));
    KeyInput->setToolTip(HintHook::HintOf(KeyInput));

    KeyExtensionInput = new EntryEdit(this);
    KeyExtensionInput->setGeometry(208, 32, 17, 28);
    KeyExtensionInput->MakeKeyField(1);
    KeyExtensionInput->setFont(fonts::DialogAt(16));
    KeyExtensionInput->setTextMargins(-2, 0, -2, 0);
    KeyExtensionInput->setAlignment(Qt::AlignCenter);
    KeyExtensionInput->setCursor(Qt::PointingHandCursor);
    HintHook::SetHint(KeyExtensionInput,
                      QStringLiteral("Input your Key Extension character again [optional]..."));
    KeyExtensionInput->setToolTip(HintHook::HintOf(KeyExtensionInput));

    VerifyButton = new QPushButton(GlyphIcon(Glyph::VerifyCheck), QStringLiteral("Verify"), this);
    VerifyButton->setGeometry(80, 80, 75, 25);
    VerifyButton->setFont(fonts::SystemBold());
    VerifyButton->setCursor(Qt::PointingHandCursor);
    // Glyph on the right of the caption.
    VerifyButton->setLayoutDirection(Qt::RightToLeft);
    VerifyButton->setDefault(true);
    HintHook::SetHint(VerifyButton, QStringLiteral("Start the verification..."));
    VerifyButton->setToolTip(HintHook::HintOf(VerifyButton));

    KeyInput->setAccessibleName(QStringLiteral("Key again"));
    KeyExtensionInput->setAccessibleName(QStringLiteral("Key extension again"));

    for (EntryEdit* field : {KeyInput, KeyExtensionInput}) {
        connect(field, &EntryEdit::characterRefused, this,
                [this] { app_.Main().KeyCharacterRefused(); });
    }
    setTabOrder(KeyInput, KeyExtensionInput);
    setTabOrder(KeyExtensionInput, VerifyButton);

    connect(KeyInput, &QLineEdit::textChanged, this, [this] { KeyHandler(); });
    connect(VerifyButton, &QPushButton::clicked, this, [this] {
        setResult(QDialog::Accepted);
        StartVerification();
        accept();
    });
    FormCreate();
}

void KeyVerificationDialog::FormCreate() {
    ResetVerifyFields();
    app_.creationLog.emplace_back("KeyVerificationDialog");
}

void KeyVerificationDialog::FormShow() {
    ResetVerifyFields();
    KeyInput->setFocus();
}

void KeyVerificationDialog::ResetVerifyFields() {
    KeyInput->setText(QString());
    KeyExtensionInput->setText(QString());
    VerifyButton->setEnabled(false);
}

void KeyVerificationDialog::KeyHandler() {
    VerifyButton->setEnabled(KeyInput->text().size() >= MainWindow::kMinimumKeyLength);
}

void KeyVerificationDialog::StartVerification() {
    if (result() != QDialog::Accepted) {
        return;
    }
    MainWindow& mask = app_.Main();
    mask.Key = KeyFieldBytes(KeyInput->text());
    mask.KeyExtension = KeyExtensionBytes(KeyExtensionInput->text());
}

void KeyVerificationDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnScreen(*this);
    FormShow();
}

void KeyVerificationDialog::keyPressEvent(QKeyEvent* event) {
    // No cancel button: Esc does nothing, only the close box closes without a result.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace velkor
