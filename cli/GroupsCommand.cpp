#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "AbsolutePath.h"
#include "Commands.h"
#include "ConversionRequest.h"
#include "ConversionSession.h"
#include "FileSystem.h"
#include "Interrupts.h"
#include "TerminalHost.h"

namespace velkor::cli {
namespace {

// The conversion window of the terminal: its progress bar is the progress line.
class TerminalConversionSession : public ConversionSession {
  public:
    TerminalConversionSession(TerminalHost& host, FileSystem& fileSystem)
        : ConversionSession(host, fileSystem), terminal_(host) {}

  protected:
    void ProgressChanged() override {
        terminal_.ShowProgress(ProgressBar.position, ProgressBar.maximum);
    }
    void AnimationRunning(bool running) override {
        if (!running) {
            terminal_.ClearProgress();
        }
    }

  private:
    TerminalHost& terminal_;
};

bool Exists(const std::string& name) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(name, error));
}

}  // namespace

int RunGroupsCommand(const GroupsOptions& options) {
    FileSystem& fileSystem = FileSystem::Native();
    // The reports name files by their full paths, as the dialogs of the window do.
    const std::optional<std::string> source = AbsolutePath(options.source);
    if (!source || !fileSystem.FileExists(*source)) {
        std::fprintf(stderr, "velkor32-cli: no such file: %s\n", options.source.c_str());
        return kFailure;
    }
    const std::optional<std::string> drain = AbsolutePath(options.drain);
    if (!drain) {
        std::fprintf(stderr, "velkor32-cli: no such folder for %s\n", options.drain.c_str());
        return kFailure;
    }
    if (!options.force && Exists(*drain)) {
        std::fprintf(stderr, "velkor32-cli: %s exists; use --force to overwrite it\n",
                     drain->c_str());
        return kFailure;
    }
    TerminalHost host({.progress = !options.quiet});
    TerminalConversionSession window(host, fileSystem);
    window.OnCreate();
    if (!RequestConversion(window, *source, *drain)) {
        return kFailure;
    }
    window.RunWithoutScreen();
    if (InterruptSignal() != 0) {
        return ReportInterrupted();
    }
    return window.Outcome == ConversionOutcome::Succeeded ? kSuccess : kFailure;
}

}  // namespace velkor::cli
