#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "FileSystem.h"
#include "Host.h"
#include "MessagePump.h"

class QWidget;

namespace velkor {

class HintHook;
class MainWindow;
class AboutDialog;
class CompilerDialog;
class KeyVerificationDialog;
class ConversionDialog;

// The program's five windows, one instance each, created at start-up in a fixed
// order and living until the program ends. Windows reach each other through it.
class ApplicationWindows {
  public:
    // programPath: the program's own executable as the running process knows
    // it; it must still be there at start-up.
    ApplicationWindows(Host& host, FileSystem& files, std::string programPath);
    ~ApplicationWindows();
    ApplicationWindows(const ApplicationWindows&) = delete;
    ApplicationWindows& operator=(const ApplicationWindows&) = delete;

    // Main window, About box, compiler window, verification window, conversion
    // window, in this order; none is shown.
    void Create();

    MainWindow& Main() const { return *main_; }
    AboutDialog& About() const { return *about_; }
    CompilerDialog& Compiler() const { return *compiler_; }
    KeyVerificationDialog& Verify() const { return *verify_; }
    ConversionDialog& Convert() const { return *convert_; }
    bool Created() const { return convert_ != nullptr; }

    Host& host;
    FileSystem& files;
    const std::string programPath;
    // How much work a job may do between two rounds of the message loop; set
    // before Create.
    std::chrono::nanoseconds messageInterval = MessagePump::kDefaultInterval;
    // The application-wide hint hook, installed by the main window.
    std::unique_ptr<HintHook> hintHook;
    // Class names in the order the windows ran their creation handlers.
    std::vector<std::string> creationLog;

  private:
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<AboutDialog> about_;
    std::unique_ptr<CompilerDialog> compiler_;
    std::unique_ptr<KeyVerificationDialog> verify_;
    std::unique_ptr<ConversionDialog> convert_;
};

// Centres a top-level window, its frame included, on its screen.
void CentreOnScreen(QWidget& window);
// Whether the window system has shown the window where it placed it.
bool OnScreen(const QWidget& window);

}  // namespace velkor
