#include <cstdio>
#include <optional>
#include <string>

#include "AbsolutePath.h"
#include "Commands.h"
#include "Interrupts.h"
#include "SymbolAnalysis.h"
#include "TerminalHost.h"

namespace velkor::cli {

int RunAnalyseCommand(const std::string& file) {
    // The log names the analysed file by its full path, as the window's dialog gives it.
    const std::optional<std::string> source = AbsolutePath(file);
    if (!source) {
        std::fprintf(stderr, "velkor32-cli: no such file: %s\n", file.c_str());
        return kFailure;
    }
    // The log's path on standard output is the result; nothing more to say.
    TerminalHost host({.reportResult = false});
    SymbolAnalysis analysis(host, FileSystem::Native());
    const bool written = analysis.Run(*source);
    if (InterruptSignal() != 0) {
        return ReportInterrupted();
    }
    if (!written) {
        return kFailure;
    }
    std::printf("%s\n", analysis.State().AnalysisLogName.c_str());
    return kSuccess;
}

}  // namespace velkor::cli
