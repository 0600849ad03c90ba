// Vector loops for processors with AVX-512 F and BW, GFNI and PCLMUL; this file alone is
// built for them and runs only after the processor and the system said they have all four.
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
