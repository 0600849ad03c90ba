#pragma once

#include <memory>
#include <string>
#include <vector>

#include "FileSystem.h"
#include "Host.h"

class QWidget;

namespace velkor {

class HintHook;
class TVelkorMaskAppForm;
class TVelkorAboutBox;
class TVelkorCompilerAppForm;
class TVelkorVerifyKeyAppForm;
class TVelkorConvertAppForm;

// The program's five windows, one instance each, created at start-up in a fixed
// order and living until the program ends. Windows reach each other through it.
class VelkorWindows {
  public:
    // programFileName: the program's own file name, which must be found in the
    // current directory at start-up.
    VelkorWindows(Host& host, FileSystem& files, std::string programFileName);
    ~VelkorWindows();
    VelkorWindows(const VelkorWindows&) = delete;
    VelkorWindows& operator=(const VelkorWindows&) = delete;

    // Main window, About box, compiler window, verification window, conversion
    // window, in this order; none is shown.
    void Create();

    TVelkorMaskAppForm& Mask() const { return *mask_; }
    TVelkorAboutBox& About() const { return *about_; }
    TVelkorCompilerAppForm& Compiler() const { return *compiler_; }
    TVelkorVerifyKeyAppForm& Verify() const { return *verify_; }
    TVelkorConvertAppForm& Convert() const { return *convert_; }
    bool Created() const { return convert_ != nullptr; }

    Host& host;
    FileSystem& files;
    const std::string programFileName;
    // The application-wide hint hook, installed by the main window.
    std::unique_ptr<HintHook> hintHook;
    // Class names in the order the windows ran their creation handlers.
    std::vector<std::string> creationLog;

  private:
    std::unique_ptr<TVelkorMaskAppForm> mask_;
    std::unique_ptr<TVelkorAboutBox> about_;
    std::unique_ptr<TVelkorCompilerAppForm> compiler_;
    std::unique_ptr<TVelkorVerifyKeyAppForm> verify_;
    std::unique_ptr<TVelkorConvertAppForm> convert_;
};

// Centres a top-level window on its screen.
void CentreOnScreen(QWidget& window);

}  // namespace velkor
