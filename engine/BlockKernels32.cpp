// Vector loops for processors with AVX2; this file alone is built with -mavx2
// and runs only after the processor said it has AVX2.
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
