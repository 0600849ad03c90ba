#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "Commands.h"
#include "FileSystem.h"
#include "Host.h"
#include "SymbolAnalysis.h"

namespace velkor::cli {

namespace {

// The analysis on a terminal: its error boxes go to standard error. Nobody is
// there to answer "Show results?", so the log is never opened.
class AnalyseHost : public Host {
  public:
    Answer ShowMessage(MessageKind kind, Buttons /*buttons*/, const std::string& text,
                       const std::string& /*caption*/) override {
        if (kind == MessageKind::Confirmation) {
            return Answer::No;
        }
        std::string lines = text;
        std::replace(lines.begin(), lines.end(), '\r', '\n');
        std::fprintf(stderr, "%s\n", lines.c_str());
        return Answer::Ok;
    }
    void PlaySound(Sound /*sound*/) override {}
    void ProcessPendingMessages() override {}
    bool Terminating() override { return false; }
    void ShellOpenFile(const std::string& /*fileName*/, const std::string& /*directory*/) override {
    }
};

// The log names the analysed file by its full path, as the window's dialog
// gives it; nothing when the current directory is gone.
std::optional<std::string> FullPath(const std::string& name) {
    if (name.starts_with('/')) {
        return name;
    }
    const std::string currentDirectory = FileSystem::Native().CurrentDirectory();
    if (currentDirectory.empty()) {
        return std::nullopt;
    }
    std::string relative = name;
    while (relative.starts_with("./")) {
        relative.erase(0, 2);
    }
    return currentDirectory + "/" + relative;
}

}  // namespace

int RunAnalyseCommand(const Arguments& args) {
    if (args.size() != 1 || args[0].empty() || (args[0].size() > 1 && args[0][0] == '-')) {
        std::fputs("velkor32-cli: usage: velkor32-cli analyse FILE\n", stderr);
        return kUsage;
    }
    const std::optional<std::string> source = FullPath(args[0]);
    if (!source) {
        std::fputs("velkor32-cli: the current directory is not available\n", stderr);
        return kFailure;
    }
    AnalyseHost host;
    SymbolAnalysis analysis(host);
    if (!analysis.Run(*source)) {
        return kFailure;
    }
    std::printf("%s\n", analysis.State().AnalysisLogName.c_str());
    return kSuccess;
}

}  // namespace velkor::cli
