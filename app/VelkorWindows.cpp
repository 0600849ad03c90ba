#include "VelkorWindows.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "HintHook.h"
#include "VelkorAbout.h"
#include "VelkorCompiler.h"
#include "VelkorConvert.h"
#include "VelkorMask.h"
#include "VelkorVerify.h"

namespace velkor {

VelkorWindows::VelkorWindows(Host& host_, FileSystem& files_, std::string programFileName_)
    : host(host_), files(files_), programFileName(std::move(programFileName_)) {}

VelkorWindows::~VelkorWindows() {
    convert_.reset();
    verify_.reset();
    compiler_.reset();
    about_.reset();
    mask_.reset();
}

void VelkorWindows::Create() {
    mask_ = std::make_unique<TVelkorMaskAppForm>(*this);
    about_ = std::make_unique<TVelkorAboutBox>(*this);
    compiler_ = std::make_unique<TVelkorCompilerAppForm>(*this);
    verify_ = std::make_unique<TVelkorVerifyKeyAppForm>(*this);
    convert_ = std::make_unique<TVelkorConvertAppForm>(*this);
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
}

}  // namespace velkor
