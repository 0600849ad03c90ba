#include "CompilerDialog.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>

#include "ApplicationWindows.h"
#include "CompileJob.h"
#include "ConversionDialog.h"
#include "CopyAnimation.h"
#include "Glyphs.h"
#include "HintHook.h"
#include "MainWindow.h"
#include "Widgets.h"

namespace velkor {

CompilerDialog::CompilerDialog(ApplicationWindows& app)
    : QDialog(nullptr), CompileSession(app.host), app_(app) {
    SetUpSmallWindow(*this, QStringLiteral("CompilerWindow"), {kClientWidth, kClientHeight},
                     Qt::WindowStaysOnTopHint, QStringLiteral("velkor compiler..."));
    BuildControls();
    SetCursors(true);
    FormCreate();
}

CompilerDialog::~CompilerDialog() = default;

void CompilerDialog::BuildControls() {
    TopicText = ProgressHeading(QStringLiteral("Velkor Compiler"), *this);

    Animation = new CopyAnimation(this);
    Animation->setGeometry(0, 30, kClientWidth, 60);
    HintHook::SetHint(Animation, QStringLiteral("Working indicator..."));

    CompilerInfo = new QLabel(QStringLiteral("Key file status:"), this);
    CompilerInfo->move(8, 104);
    CompilerInfo->adjustSize();

    ProgressBar = new QProgressBar(this);
    ProgressBar->setGeometry(8, 120, 177, 13);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    HintHook::SetHint(ProgressBar, QStringLiteral("Compiler progression reading key file..."));
    ProgressBar->setAccessibleName(CompilerInfo->text());
    Animation->setAccessibleName(QStringLiteral("Working"));

    CloseButton = new QPushButton(GlyphIcon(Glyph::Close), QStringLiteral("Close"), this);
    CloseButton->setGeometry(192, 112, 75, 25);
    CloseButton->setFont(fonts::SystemBold(13));
    CloseButton->setCursor(Qt::PointingHandCursor);
    CloseButton->setAutoDefault(false);
    HintHook::SetHint(CloseButton, QStringLiteral("Quit the velkor compiler..."));
    connect(CloseButton, &QPushButton::clicked, this, [this] { Exit(); });
    setTabOrder(CloseButton, ProgressBar);
}

void CompilerDialog::FormCreate() {
    CompileAborted = false;
    Compiling = false;
    CompilePending = false;
    InstallIdleHandler();
    app_.creationLog.emplace_back("CompilerDialog");
}

void CompilerDialog::InstallIdleHandler() {
    // The idle moment is the event loop's "about to block"; the handler itself
    // runs from a queued call, so it may show windows and run nested loops.
    // Nothing is queued while nothing waits, so an idle program stays asleep.
    auto* dispatcher = QAbstractEventDispatcher::instance();
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
        if (idleQueued_ || inIdle_ || !app_.Created() || !app_.Main().isVisible() ||
            !IdleWorkWaiting()) {
            return;
        }
        idleQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                idleQueued_ = false;
                ApplicationIdle();
            },
            Qt::QueuedConnection);
    });
}

bool CompilerDialog::IdleWorkWaiting() const {
    return app_.Main().DefaultDirectory.empty() || (CompilePending && OnScreen(*this)) ||
           (app_.Convert().ConvertPending && OnScreen(app_.Convert()));
}

void CompilerDialog::ApplicationIdle() {
    if (inIdle_ || !app_.Created()) {
        return;
    }
    inIdle_ = true;
    if (app_.Main().DefaultDirectory.empty()) {
        app_.Main().Authenticate();
    }
    // A job starts once its window is on the screen where the window system
    // put it, so that its messages are centred over it, the first included.
    if (CompilePending && OnScreen(*this)) {
        CompileJob();
    }
    if (app_.Convert().ConvertPending && OnScreen(app_.Convert())) {
        app_.Convert().Start();
    }
    inIdle_ = false;
}

void CompilerDialog::CompileJob() {
    closeRequested_ = false;
    velkor::CompileJob(*this, app_.Main().JobSettings(),
                       JobServices{app_.files, {}, app_.messageInterval});
}

void CompilerDialog::BusyCursors(bool busy) {
    SetCursors(busy);
}

void CompilerDialog::SetCursors(bool busy) {
    const QCursor cursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
    for (QWidget* widget : {static_cast<QWidget*>(this), static_cast<QWidget*>(TopicText),
                            static_cast<QWidget*>(Animation), static_cast<QWidget*>(CompilerInfo),
                            static_cast<QWidget*>(ProgressBar)}) {
        widget->setCursor(cursor);
    }
}

void CompilerDialog::AnimationRunning(bool running) {
    if (running) {
        Animation->Play();
    } else {
        Animation->Stop();
    }
}

void CompilerDialog::ProgressChanged() {
    const BarRange bar = Progress.ToBar();
    ProgressBar->setRange(0, bar.maximum);
    ProgressBar->setValue(bar.position);
}

void CompilerDialog::CloseWindow() {
    bool canClose = true;
    CloseQuery(canClose);
    closeRequested_ = false;
    done(QDialog::Accepted);
}

void CompilerDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (Compiling) {
        // The running pass notices the request and asks CloseQuery itself.
        closeRequested_ = true;
        return;
    }
    CloseWindow();
}

// Close is the cancel button: Esc presses it.
void CompilerDialog::reject() {
    CloseButton->click();
}

void CompilerDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnScreen(*this);
    CloseButton->setFocus();
}

}  // namespace velkor
