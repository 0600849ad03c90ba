#pragma once

#include <chrono>
#include <cstddef>

#include "Host.h"

namespace velkor {

// Lets the host process its pending messages while long work runs: never per
// byte, but once every few milliseconds of work. The clock is looked at only
// once per block of work, and the first block always lets messages through.
class MessagePump {
  public:
    static constexpr std::size_t kBytesPerClockRead = 1024;
    static constexpr std::chrono::milliseconds kInterval{4};

    explicit MessagePump(Host& host) : host_(host) {}

    // Counts bytes of finished work.
    void Worked(std::size_t bytes) {
        pending_ += bytes;
        if (pending_ >= kBytesPerClockRead) {
            pending_ = 0;
            Poll();
        }
    }

  private:
    using Clock = std::chrono::steady_clock;

    void Poll();

    Host& host_;
    std::size_t pending_ = 0;
    bool started_ = false;
    Clock::time_point last_{};
};

}  // namespace velkor
