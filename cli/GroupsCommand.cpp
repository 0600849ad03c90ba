#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "AbsolutePath.h"
#include "Commands.h"
#include "ConversionRequest.h"
#include "ConversionSession.h"
#include "FileSystem.h"
#include "Interrupts.h"
#include "SaveTarget.h"
#include "StreamSpool.h"
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

}  // namespace

int RunGroupsCommand(const GroupsOptions& options) {
    FileSystem& fileSystem = FileSystem::Native();
    // Detection and conversion read a file twice: a stream goes through a
    // private spool folder, on either side.
    StreamSpool spool;
    const bool sourceStream = options.source == kStandardStream;
    const bool drainStream = options.drain == kStandardStream;
    if ((sourceStream || drainStream) && !spool.Create()) {
        std::fputs("velkor32-cli: cannot make a temporary folder\n", stderr);
        return kFailure;
    }
    if (sourceStream && !SpoolInto(STDIN_FILENO, spool.Path("standard input"))) {
        if (InterruptSignal() != 0) {
            return ReportInterrupted();
        }
        std::fputs("velkor32-cli: standard input could not be read\n", stderr);
        return kFailure;
    }
    // The reports name files by their full paths, as the dialogs of the window do.
    const std::optional<std::string> source =
        sourceStream ? spool.Path("standard input") : AbsolutePath(options.source);
    if (!source || !fileSystem.FileExists(*source)) {
        std::fprintf(stderr, "velkor32-cli: %s: %s\n", options.source.c_str(),
                     source && fileSystem.KindOf(*source) != NameKind::Missing
                         ? "not a regular file"
                         : "no such file");
        return kFailure;
    }
    const std::optional<std::string> drain =
        drainStream ? spool.Path("standard output") : AbsolutePath(options.drain);
    if (!drain) {
        std::fprintf(stderr, "velkor32-cli: no such folder for %s\n", options.drain.c_str());
        return kFailure;
    }
    // The rules of the window's save dialog, --force standing for its question.
    switch (drainStream ? SaveTarget::New : ClassifySaveTarget(fileSystem, *drain)) {
        case SaveTarget::Folder:
            std::fprintf(stderr, "velkor32-cli: %s is a folder\n", drain->c_str());
            return kFailure;
        case SaveTarget::MissingFolder:
            std::fprintf(stderr, "velkor32-cli: no such folder for %s\n", options.drain.c_str());
            return kFailure;
        case SaveTarget::WriteProtected:
            std::fprintf(stderr, "velkor32-cli: %s is write-protected\n", drain->c_str());
            return kFailure;
        case SaveTarget::Existing:
            if (!options.force) {
                std::fprintf(stderr, "velkor32-cli: %s exists; use --force to overwrite it\n",
                             drain->c_str());
                return kFailure;
            }
            break;
        case SaveTarget::New:
            break;
    }
    // A stream has no name to report the result under.
    TerminalHost host({.progress = !options.quiet, .reportResult = !sourceStream && !drainStream});
    TerminalConversionSession window(host, fileSystem);
    window.OnCreate();
    if (!RequestConversion(window, *source, *drain)) {
        return kFailure;
    }
    window.RunWithoutScreen();
    if (InterruptSignal() != 0) {
        return ReportInterrupted();
    }
    if (window.Outcome != ConversionOutcome::Succeeded) {
        return kFailure;
    }
    if (drainStream && !CopyOut(*drain, STDOUT_FILENO)) {
        std::fputs("velkor32-cli: standard output was closed before the end\n", stderr);
        return kFailure;
    }
    return kSuccess;
}

}  // namespace velkor::cli
