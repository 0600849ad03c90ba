// Vector loops for processors with AVX2 and PCLMUL; this file alone is built for them
// and runs only after the processor said it has both.
namespace velkor::blocked {
namespace {
constexpr int kWidth = 32;
}  // namespace
}  // namespace velkor::blocked

#include "BlockKernelsImpl.h"

namespace velkor::blocked {
const Kernels& Kernels32() {
    return kKernels;
}
}  // namespace velkor::blocked
