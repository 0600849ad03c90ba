#include "Interrupts.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace velkor::cli {

namespace {

std::atomic<int> caughtSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "used from a signal handler");

extern "C" void NoteInterrupt(int signal) {
    int none = 0;
    caughtSignal.compare_exchange_strong(none, signal);
}

}  // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = NoteInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

int InterruptSignal() {
    return caughtSignal.load();
}

int ReportInterrupted() {
    std::fputs("velkor32-cli: interrupted\n", stderr);
    return 128 + InterruptSignal();
}

}  // namespace velkor::cli
