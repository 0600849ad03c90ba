#include "MessagePump.h"

namespace velkor {

bool MessagePump::Poll() {
    const auto now = Clock::now();
    if (started_ && now - last_ < interval_) {
        return false;
    }
    started_ = true;
    host_.ProcessPendingMessages();
    last_ = Clock::now();
    return true;
}

}  // namespace velkor
