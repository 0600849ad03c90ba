#include "CoreDumps.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace velkor::cli {

bool DisableCoreDumps() {
    const rlimit none{0, 0};
    const bool limited = ::setrlimit(RLIMIT_CORE, &none) == 0;
    // Not dumpable also keeps other processes of the user from reading our memory.
    const bool undumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    return limited && undumpable;
}

}  // namespace velkor::cli
