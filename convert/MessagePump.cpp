#include "MessagePump.h"

namespace velkor {

void MessagePump::Poll() {
    const auto now = Clock::now();
    if (started_ && now - last_ < kInterval) {
        return;
    }
    started_ = true;
    host_.ProcessPendingMessages();
    last_ = Clock::now();
}

}  // namespace velkor
