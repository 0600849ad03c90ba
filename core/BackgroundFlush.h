#pragma once

#include <future>

namespace velkor {

// Flushes a file's data to disk on a thread of its own while the file is still
// being written, so that the flush at its end has little left to wait for.
// A failure is kept for that last flush to report: the system tells a
// write-back error only once.
class BackgroundFlush {
  public:
    BackgroundFlush() = default;
    ~BackgroundFlush() { Wait(); }
    BackgroundFlush(BackgroundFlush&&) noexcept = default;
    BackgroundFlush& operator=(BackgroundFlush&& other) noexcept;
    BackgroundFlush(const BackgroundFlush&) = delete;
    BackgroundFlush& operator=(const BackgroundFlush&) = delete;

    // Starts flushing the file unless a flush of it is still under way.
    void Start(int fd);
    // Waits for a flush under way; the first failure of any so far (an errno), or 0.
    int Wait();

  private:
    std::future<int> running_;
    int failure_ = 0;
};

}  // namespace velkor
