#include "ApplicationWindows.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "AboutDialog.h"
#include "CompilerDialog.h"
#include "ConversionDialog.h"
#include "HintHook.h"
#include "KeyVerificationDialog.h"
#include "MainWindow.h"

namespace velkor {

ApplicationWindows::ApplicationWindows(Host& host_, FileSystem& files_, std::string programPath_)
    : host(host_), files(files_), programPath(std::move(programPath_)) {}

ApplicationWindows::~ApplicationWindows() {
    convert_.reset();
    verify_.reset();
    compiler_.reset();
    about_.reset();
    main_.reset();
}

void ApplicationWindows::Create() {
    main_ = std::make_unique<MainWindow>(*this);
    about_ = std::make_unique<AboutDialog>(*this);
    compiler_ = std::make_unique<CompilerDialog>(*this);
    verify_ = std::make_unique<KeyVerificationDialog>(*this);
    convert_ = std::make_unique<ConversionDialog>(*this);
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size();
    window.move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

bool OnScreen(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return window.isVisible() && handle != nullptr && handle->isExposed();
}

}  // namespace velkor
