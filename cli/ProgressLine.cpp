#include "ProgressLine.h"

#include <array>

namespace velkor::cli {

namespace {

std::string Amount(double bytes) {
    static constexpr std::array<const char*, 4> kUnits = {"B", "KiB", "MiB", "GiB"};
    std::size_t unit = 0;
    while (bytes >= 1024.0 && unit + 1 < kUnits.size()) {
        bytes /= 1024.0;
        ++unit;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), unit == 0 ? "%.0f %s" : "%.1f %s", bytes, kUnits[unit]);
    return text.data();
}

std::string Duration(std::int64_t seconds) {
    std::array<char, 32> text{};
    if (seconds >= 3600) {
        std::snprintf(
            text.data(), text.size(), "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
            static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text.data(), text.size(), "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    }
    return text.data();
}

}  // namespace

std::string DescribeProgress(std::int64_t done, std::int64_t total,
                             std::chrono::steady_clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    const std::string speed = Amount(rate) + "/s";
    if (total <= 0) {
        return Amount(static_cast<double>(done)) + "  " + speed;
    }
    const std::int64_t shown = done < total ? done : total;
    const auto percent = static_cast<int>(shown * 100 / total);
    std::string line = std::to_string(percent) + "%  " + speed;
    if (rate > 0) {
        const auto left = static_cast<std::int64_t>(static_cast<double>(total - shown) / rate);
        line += "  " + Duration(left) + " left";
    }
    return line;
}

void ProgressLine::Show(std::int64_t done, std::int64_t total) {
    if (!enabled_) {
        return;
    }
    const auto now = Clock::now();
    if (now - started_ < kQuietStart || now - drawn_ < kRedrawInterval) {
        return;
    }
    drawn_ = now;
    std::fprintf(stream_, "\r%s\033[K", DescribeProgress(done, total, now - started_).c_str());
    std::fflush(stream_);
    shown_ = true;
}

void ProgressLine::Clear() {
    if (shown_) {
        std::fputs("\r\033[K", stream_);
        std::fflush(stream_);
        shown_ = false;
    }
}

}  // namespace velkor::cli
