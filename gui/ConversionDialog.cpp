#include "ConversionDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <climits>

#include "ApplicationWindows.h"
#include "CopyAnimation.h"
#include "Glyphs.h"
#include "HintHook.h"
#include "Widgets.h"

namespace velkor {

ConversionDialog::ConversionDialog(ApplicationWindows& app)
    : QDialog(nullptr), ConversionSession(app.host, app.files), app_(app) {
    messageInterval = app.messageInterval;
    SetUpSmallWindow(*this, QStringLiteral("ConversionWindow"), {kClientWidth, kClientHeight}, {},
                     QStringLiteral("Converting files. Please stand by..."));
    setCursor(Qt::WaitCursor);
    BuildControls();
    FormCreate();
}

ConversionDialog::~ConversionDialog() = default;

void ConversionDialog::BuildControls() {
    Title = ProgressHeading(QStringLiteral("File Conversion"), *this);

    FileConvertAnimation = new CopyAnimation(this);
    FileConvertAnimation->setGeometry(0, 30, kClientWidth, 60);
    HintHook::SetHint(FileConvertAnimation, QStringLiteral("Working indicator..."));

    BreakPanel = new QWidget(this);
    BreakPanel->setGeometry(0, 90, kClientWidth, 22);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setGeometry(0, 112, kClientWidth, 17);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    HintHook::SetHint(ProgressBar, QStringLiteral("File convert progress bar..."));
    ProgressBar->setAccessibleName(QStringLiteral("Conversion progress"));
    FileConvertAnimation->setAccessibleName(QStringLiteral("Working"));

    AbortButton = new QPushButton(style()->standardIcon(QStyle::SP_BrowserStop),
                                  QStringLiteral("Abort"), this);
    AbortButton->setGeometry((kClientWidth - 120) / 2, 160, 120, 25);
    AbortButton->setFont(fonts::SystemBold(13));
    AbortButton->setCursor(Qt::PointingHandCursor);
    AbortButton->setDefault(true);
    HintHook::SetHint(AbortButton, QStringLiteral("Halt procedure..."));
    connect(AbortButton, &QPushButton::clicked, this, [this] { Halt(kModalAbort); });
}

void ConversionDialog::FormCreate() {
    OnCreate();
    app_.creationLog.emplace_back("ConversionDialog");
}

void ConversionDialog::Start() {
    ConversionSession::Start();
    CloseWindow();
}

void ConversionDialog::Halt(int modalResult) {
    if (!isVisible()) {
        return;
    }
    ModalResult = modalResult;
    if (!Converting) {
        CloseWindow();
    }
}

void ConversionDialog::CloseWindow() {
    // A request that was never taken up must not start once the window is gone.
    ConvertPending = false;
    bool canClose = true;
    OnCloseQuery(canClose);
    done(ModalResult);
}

void ConversionDialog::AnimationRunning(bool running) {
    if (running) {
        FileConvertAnimation->Play();
    } else {
        FileConvertAnimation->Stop();
    }
}

void ConversionDialog::ProgressChanged() {
    // Called once per block: the widget is touched only when the bar moves.
    const BarRange bar = ConversionSession::ProgressBar.ToBar();
    if (ProgressBar->maximum() != bar.maximum) {
        ProgressBar->setRange(0, bar.maximum);
    }
    if (ProgressBar->value() != bar.position) {
        ProgressBar->setValue(bar.position);
    }
}

void ConversionDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    Halt(kModalCancel);
}

void ConversionDialog::keyPressEvent(QKeyEvent* event) {
    // Without a cancel button Esc does nothing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ConversionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnScreen(*this);
    ProgressChanged();
    AbortButton->setFocus();
    OnShow();
}

}  // namespace velkor
