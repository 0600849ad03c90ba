// Vector loops for processors with AVX-512 F, BW and VBMI, GFNI and PCLMUL; this file alone is
// built for them and runs only after the processor and the system said they have them all.
namespace velkor::blocked {
namespace {
constexpr int kWidth = 64;
}  // namespace
}  // namespace velkor::blocked

#include "BlockKernelsImpl.h"

namespace velkor::blocked {
const Kernels& Kernels64() {
    return kKernels;
}
}  // namespace velkor::blocked
