#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace velkor::cli {

// What the progress line says after `elapsed`: the percentage, the rate and the
// time left, or only the bytes and the rate when the total is unknown (0).
std::string DescribeProgress(std::int64_t done, std::int64_t total,
                             std::chrono::steady_clock::duration elapsed);

// The one progress line of a command on a terminal: redrawn in place a few
// times a second, wiped before any other text. Draws nothing when disabled.
class ProgressLine {
  public:
    using Clock = std::chrono::steady_clock;

    ProgressLine(std::FILE* stream, bool enabled) : stream_(stream), enabled_(enabled) {}

    void Show(std::int64_t done, std::int64_t total);
    void Clear();

  private:
    static constexpr std::chrono::milliseconds kRedrawInterval{200};
    // Short jobs finish without a line.
    static constexpr std::chrono::milliseconds kQuietStart{500};

    std::FILE* stream_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point started_ = Clock::now();
    Clock::time_point drawn_{};
};

}  // namespace velkor::cli
