#include "TerminalHost.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "Interrupts.h"

namespace velkor::cli {

TerminalHost::TerminalHost(Options options)
    : options_(options),
      progress_(stderr,
                options.progress && options.collected == nullptr && ::isatty(STDERR_FILENO) != 0) {}

Answer TerminalHost::ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                                 const std::string& /*caption*/) {
    progress_.Clear();
    if (kind == MessageKind::Error || kind == MessageKind::Warning) {
        failed_ = true;
    }
    if (kind == MessageKind::Confirmation) {
        const auto offer = text.rfind("\r\r");
        if (offer == std::string::npos) {
            // The only question without a result before it: overwrite the drain.
            Say(text + "\r(use --force to overwrite it)");
            return Answer::No;
        }
        succeeded_ = true;
        if (options_.reportResult) {
            Say(text.substr(0, offer));
        }
        return Answer::No;
    }
    if (kind == MessageKind::Information) {
        succeeded_ = true;
        if (options_.reportResult) {
            Say(text);
        }
    } else {
        Say(text);
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
}

void TerminalHost::ProcessPendingMessages() {
    if (done_ != nullptr) {
        progress_.Show(*done_, total_);
    }
}

StopReason TerminalHost::StopRequest() {
    return InterruptSignal() != 0 ? StopReason::Interrupted : StopReason::None;
}

void TerminalHost::FollowProgress(const std::int64_t* done, std::int64_t total) {
    done_ = done;
    total_ = total;
}

void TerminalHost::Say(const std::string& text) {
    // How a job reports its stop is replaced by the tool's "interrupted".
    if (InterruptSignal() != 0) {
        return;
    }
    std::string lines = text;
    std::replace(lines.begin(), lines.end(), '\r', '\n');
    lines += '\n';
    if (options_.collected != nullptr) {
        *options_.collected += lines;
        return;
    }
    std::fputs(lines.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace velkor::cli
