#include "VelkorCompiler.h"

#include <QAbstractEventDispatcher>
#include <QMetaObject>

#include "VelkorConvert.h"
#include "VelkorMask.h"
#include "VelkorWindows.h"

namespace velkor {

TVelkorCompilerAppForm::TVelkorCompilerAppForm(VelkorWindows& app)
    : QDialog(nullptr), CompilerWindow(app.host), app_(app) {
    setObjectName(QStringLiteral("VelkorCompilerAppForm"));
    setWindowTitle(QStringLiteral("Velkor32"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(kClientWidth, kClientHeight);
    FormCreate();
}

TVelkorCompilerAppForm::~TVelkorCompilerAppForm() = default;

void TVelkorCompilerAppForm::FormCreate() {
    CompileAborted = false;
    Compiling = false;
    CompilePending = false;
    InstallIdleHandler();
    app_.creationLog.emplace_back("TVelkorCompilerAppForm");
}

void TVelkorCompilerAppForm::InstallIdleHandler() {
    // The idle moment is the event loop's "about to block"; the handler itself
    // runs from a queued call, so it may show windows and run nested loops.
    // Nothing is queued while nothing waits, so an idle program stays asleep.
    auto* dispatcher = QAbstractEventDispatcher::instance();
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
        if (idleQueued_ || inIdle_ || !app_.Created() || !app_.Mask().isVisible() ||
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

bool TVelkorCompilerAppForm::IdleWorkWaiting() const {
    return app_.Mask().DefaultDirectory.empty() || CompilePending || app_.Convert().ConvertPending;
}

void TVelkorCompilerAppForm::ApplicationIdle() {
    if (inIdle_ || !app_.Created()) {
        return;
    }
    inIdle_ = true;
    if (app_.Mask().DefaultDirectory.empty()) {
        app_.Mask().Authenticate();
    }
    if (CompilePending) {
        CompileJob();
    }
    if (app_.Convert().ConvertPending) {
        app_.Convert().Start();
    }
    inIdle_ = false;
}

void TVelkorCompilerAppForm::CompileJob() {
    // The job driver takes over from here.
    CompilePending = false;
}

}  // namespace velkor
