#include "AboutDialog.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "ApplicationWindows.h"
#include "Glyphs.h"
#include "HintHook.h"
#include "Widgets.h"

namespace velkor {

namespace {

// A centred label in its box, widened evenly when its text needs more room.
QLabel* CentredLabel(QWidget* parent, const QString& text, int left, int top, int width,
                     int height) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    const int needed = label->sizeHint().width();
    if (needed > width) {
        left -= (needed - width + 1) / 2;
        width = needed;
    }
    label->setGeometry(left, top, width, std::max(height, label->sizeHint().height()));
    return label;
}

}  // namespace

AboutDialog::AboutDialog(ApplicationWindows& app) : QDialog(nullptr) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Velkor32"));
    setWindowIcon(velkor::ProgramIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(fonts::Dialog());
    HintHook::SetHint(this, QStringLiteral("About..."));

    VelkorAbout = new QFrame(this);
    VelkorAbout->setGeometry(0, 0, 200, 161);
    VelkorAbout->setFrameStyle(QFrame::Panel | QFrame::Raised);
    VelkorAbout->setLineWidth(6);

    ProgramIcon = new QLabel(VelkorAbout);
    ProgramIcon->setPixmap(ProgramIconPixmap(32));
    ProgramIcon->setGeometry(82, 26, 32, 32);
    ProgramIcon->setAccessibleName(QStringLiteral("Velkor32 icon"));

    ProductName = CentredLabel(VelkorAbout, QStringLiteral("Velkor32"), 80, 72, 42, 13);
    Comments = new QLabel(VelkorAbout);
    Comments->setWordWrap(true);
    Comments->move(8, 80);
    Version = CentredLabel(VelkorAbout, QStringLiteral("Version: " VELKOR_VERSION), 58, 96, 74, 13);
    Copyright = CentredLabel(VelkorAbout, CopyrightLine(), 32, 128, 133, 13);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(70, 170, 65, 26);
    OKButton->setFont(fonts::SystemBold());
    OKButton->setCursor(Qt::PointingHandCursor);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    app.creationLog.emplace_back("AboutDialog");
}

QString AboutDialog::CopyrightLine() {
    return QStringLiteral("Copyright \u00A9 Velkor32 team");
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnScreen(*this);
    OKButton->setFocus();
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
    // OK is the cancel button too: Esc presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        OKButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace velkor
