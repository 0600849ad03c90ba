#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "Commands.h"
#include "ConversionRequest.h"
#include "ConversionSession.h"
#include "FileSystem.h"
#include "TerminalHost.h"

namespace velkor::cli {
namespace {

constexpr const char* kGroupsUsage = "usage: velkor32-cli groups SOURCE DRAIN [--force]\n";

// The reports name files by their full paths, as the dialogs of the window do.
std::string FullPath(const std::string& name) {
    std::error_code error;
    const auto full = std::filesystem::absolute(name, error);
    return error ? name : full.string();
}

// The conversion window of the terminal: a percentage on standard error while
// a long conversion runs, when that is a terminal.
class TerminalConversionSession : public ConversionSession {
  public:
    using ConversionSession::ConversionSession;

  protected:
    void ProgressChanged() override {
        if (!terminal_ || ProgressBar.maximum <= 0 ||
            Clock::now() - created_ < std::chrono::seconds(1)) {
            return;
        }
        const auto percent = static_cast<int>(ProgressBar.position * 100 / ProgressBar.maximum);
        if (percent != shown_) {
            shown_ = percent;
            std::fprintf(stderr, "\r%3d%%", percent);
            std::fflush(stderr);
        }
    }
    void AnimationRunning(bool running) override {
        if (!running && shown_ >= 0) {
            std::fputs("\r    \r", stderr);
            shown_ = -1;
        }
    }

  private:
    using Clock = std::chrono::steady_clock;

    bool terminal_ = ::isatty(STDERR_FILENO) != 0;
    Clock::time_point created_ = Clock::now();
    int shown_ = -1;
};

bool Exists(const std::string& name) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(name, error));
}

}  // namespace

int RunGroupsCommand(const Arguments& args) {
    std::vector<std::string> names;
    bool force = false;
    for (const auto& arg : args) {
        if (arg == "--force") {
            force = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "velkor32-cli: unknown option '%s'\n%s", arg.c_str(),
                         kGroupsUsage);
            return kUsage;
        } else {
            names.push_back(arg);
        }
    }
    if (names.size() != 2) {
        std::fputs(kGroupsUsage, stderr);
        return kUsage;
    }
    FileSystem& fileSystem = FileSystem::Native();
    const std::string source = FullPath(names[0]);
    const std::string drain = FullPath(names[1]);
    if (!fileSystem.FileExists(source)) {
        std::fprintf(stderr, "velkor32-cli: no such file: %s\n", source.c_str());
        return kFailure;
    }
    if (!force && Exists(drain)) {
        std::fprintf(stderr, "velkor32-cli: %s exists; use --force to overwrite it\n",
                     drain.c_str());
        return kFailure;
    }
    TerminalHost host;
    TerminalConversionSession window(host, fileSystem);
    window.OnCreate();
    if (!RequestConversion(window, source, drain)) {
        return kFailure;
    }
    window.RunWithoutScreen();
    return window.Outcome == ConversionOutcome::Succeeded ? kSuccess : kFailure;
}

}  // namespace velkor::cli
