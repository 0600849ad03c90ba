#pragma once

#include <chrono>
#include <cstddef>

#include "Host.h"

namespace velkor {

// Lets the host process its pending messages while long work runs: never per
// byte, but once every few milliseconds of work, so that windows stay alive
// without the work paying for the message loop. The first poll always lets
// messages through. Every long job of the program goes through one of these.
class MessagePump {
  public:
    static constexpr std::chrono::milliseconds kDefaultInterval{4};
    // Bytes of byte-by-byte work between two looks at the clock.
    static constexpr std::size_t kBytesPerClockRead = 1024;

    explicit MessagePump(Host& host, std::chrono::nanoseconds interval = kDefaultInterval)
        : host_(host), interval_(interval) {}

    // After a block of work: lets messages through when the interval has
    // passed. True when it did.
    bool Poll();
    // Counts bytes of finished byte-by-byte work; polls now and then.
    void Worked(std::size_t bytes) {
        pending_ += bytes;
        if (pending_ >= kBytesPerClockRead) {
            pending_ = 0;
            Poll();
        }
    }

  private:
    using Clock = std::chrono::steady_clock;

    Host& host_;
    std::chrono::nanoseconds interval_;
    std::size_t pending_ = 0;
    bool started_ = false;
    Clock::time_point last_{};
};

}  // namespace velkor
