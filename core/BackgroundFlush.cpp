#include "BackgroundFlush.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <utility>

#include "HelperThreadSignals.h"

namespace velkor {

BackgroundFlush& BackgroundFlush::operator=(BackgroundFlush&& other) noexcept {
    if (this != &other) {
        Wait();
        running_ = std::move(other.running_);
        failure_ = std::exchange(other.failure_, 0);
    }
    return *this;
}

void BackgroundFlush::Start(int fd) {
    if (running_.valid() &&
        running_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return;
    }
    Wait();
    try {
        const HelperThreadSignals quiet;
        running_ =
            std::async(std::launch::async, [fd] { return ::fdatasync(fd) == 0 ? 0 : errno; });
    } catch (const std::system_error&) {
        // No thread to be had: the last flush does all the work.
    }
}

int BackgroundFlush::Wait() {
    if (running_.valid()) {
        const int result = running_.get();
        if (failure_ == 0) {
            failure_ = result;
        }
    }
    return failure_;
}

}  // namespace velkor
