#include <unistd.h>

#include <cstdio>
#include <string>

#include "Commands.h"
#include "CryptJob.h"
#include "Interrupts.h"
#include "TerminalHost.h"

namespace velkor::cli {

int RunCryptCommand(const CryptOptions& options) {
    const std::string& source = options.files[0];
    const std::string& drain = options.files[1];
    if (options.encrypt && drain == kStandardStream && ::isatty(STDOUT_FILENO) != 0) {
        std::fputs(
            "velkor32-cli: encrypted output is not written to a terminal; "
            "redirect it to a file or a pipe\n",
            stderr);
        return kFailure;
    }
    SecretBytes key;
    const int keyStatus = ReadJobKey(options, source == kStandardStream, key);
    if (keyStatus != kSuccess) {
        return keyStatus;
    }
    TerminalHost host({.progress = !options.quiet});
    const bool done = RunCryptJob(options, source, drain, key, host);
    SecureZero(key.data(), key.size());
    if (InterruptSignal() != 0) {
        host.ClearProgress();
        return ReportInterrupted();
    }
    return done ? kSuccess : kFailure;
}

}  // namespace velkor::cli
