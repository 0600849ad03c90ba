#include "Interrupts.h"

#include <poll.h>

#include <atomic>
#include <cerrno>
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

bool WaitForInput(int fd) {
    // The signals stay blocked but inside ppoll, so none slips in between the
    // look at the flag and the wait.
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&interrupts, signal);
    }
    sigset_t previous;
    ::pthread_sigmask(SIG_BLOCK, &interrupts, &previous);
    pollfd wanted{fd, POLLIN, 0};
    bool ready = false;
    while (!ready && InterruptSignal() == 0) {
        const int result = ::ppoll(&wanted, 1, nullptr, &previous);
        // Any other failure is left for the read to report.
        ready = result > 0 || (result < 0 && errno != EINTR);
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ready;
}

int InterruptSignal() {
    return caughtSignal.load();
}

int ReportInterrupted() {
    std::fputs("velkor32-cli: interrupted\n", stderr);
    return 128 + InterruptSignal();
}

}  // namespace velkor::cli
