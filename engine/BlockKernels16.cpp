// Vector loops for every x86-64: SSE2.
namespace velkor::blocked {
namespace {
constexpr int kWidth = 16;
}  // namespace
}  // namespace velkor::blocked

#include "BlockKernelsImpl.h"

namespace velkor::blocked {
const Kernels& Kernels16() {
    return kKernels;
}
}  // namespace velkor::blocked
