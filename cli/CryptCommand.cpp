#include <cstdio>

#include "Commands.h"

namespace velkor::cli {

int RunCryptCommand(bool /*encrypt*/, const Arguments& /*args*/) {
    std::fputs("velkor32-cli: this command is not built yet\n", stderr);
    return kFailure;
}

}  // namespace velkor::cli
