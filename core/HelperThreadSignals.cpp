#include "HelperThreadSignals.h"

#include <pthread.h>

#include <initializer_list>

namespace velkor {

HelperThreadSignals::HelperThreadSignals() {
    sigset_t blocked;
    sigfillset(&blocked);
    // A fault is the faulting thread's own; blocked, it would kill the
    // process past any handler.
    for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS}) {
        sigdelset(&blocked, fault);
    }
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
}

HelperThreadSignals::~HelperThreadSignals() {
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace velkor
