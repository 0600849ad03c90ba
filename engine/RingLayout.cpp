#include "RingLayout.h"

#include <algorithm>
#include <bit>

#include "Secret.h"

namespace velkor::blocked {

namespace {

// Odd numbers of half vectors that the 32-byte loops take from registers.
bool OddHalvesNear(std::int64_t lag, std::int64_t width) {
    return width == 32 && lag % 32 == 16 && lag >= 48 && lag <= 112;
}

std::int64_t PowerOfTwo(std::int64_t size) {
    return static_cast<std::int64_t>(std::bit_ceil(static_cast<std::uint64_t>(size)));
}

// A ring writes its first block twice; in rings of four blocks or more only
// every fourth block of the stream pays for that.
constexpr std::int64_t kSmallestRing = 4 * kBlock;

}  // namespace

RingArena::~RingArena() {
    if (lines_) {
        SecureZero(lines_.get(), size_);
    }
}

Ring RingArena::Carve(std::int64_t size, bool readBack) {
    Ring ring;
    ring.mask = size - 1;
    if (lines_) {
        ring.data = reinterpret_cast<std::uint8_t*>(lines_.get()) + used_;
    }
    ring.repeated = readBack ? Ring::kMirror : 0;
    used_ += static_cast<std::size_t>(RoundUp(size + ring.repeated, sizeof(CacheLine)));
    return ring;
}

void RingArena::Allocate() {
    // The vector loops' aligned loads may run a vector past the last ring.
    size_ = used_ + sizeof(CacheLine);
    lines_ = std::make_unique<CacheLine[]>(size_ / sizeof(CacheLine));
    used_ = 0;
}

Taps MakeTaps(std::initializer_list<std::int64_t> lags) {
    Taps taps;
    for (const auto lag : lags) {
        taps.lag[static_cast<std::size_t>(taps.count++)] = lag;
    }
    return taps;
}

Taps Cancelled(const Taps& taps) {
    Taps kept;
    for (int i = 0; i < taps.count; ++i) {
        const std::int64_t lag = taps.lag[static_cast<std::size_t>(i)];
        const auto end = kept.lag.begin() + kept.count;
        const auto same = std::find(kept.lag.begin(), end, lag);
        if (same != end) {
            *same = kept.lag[static_cast<std::size_t>(--kept.count)];
        } else {
            kept.lag[static_cast<std::size_t>(kept.count++)] = lag;
        }
    }
    return kept;
}

Taps WithNearTaps(Taps taps, std::int64_t width) {
    for (int i = 0; i < taps.count;) {
        auto& lag = taps.lag[static_cast<std::size_t>(i)];
        bool* near = lag == width                      ? &taps.wholeVector
                     : lag == width / 2 && width >= 32 ? &taps.halfVector
                                                       : nullptr;
        if (near != nullptr) {
            *near = !*near;
        } else if (OddHalvesNear(lag, width)) {
            taps.oddHalves ^= 1 << ((lag / 16 - 3) / 2);
        } else {
            ++i;
            continue;
        }
        lag = taps.lag[static_cast<std::size_t>(--taps.count)];
    }
    return taps;
}

Taps Scaled(Taps taps, std::int64_t factor) {
    for (auto& lag : taps.lag) {
        lag *= factor;
    }
    return taps;
}

std::int64_t RoundUp(std::int64_t value, std::int64_t step) {
    return (value + step - 1) / step * step;
}

std::int64_t BlockRing(std::int64_t reach) {
    return std::max(PowerOfTwo(reach + kBlock), kSmallestRing);
}

std::int64_t RecurrenceRing(std::int64_t reach) {
    return std::max(PowerOfTwo(std::max(reach, kBlock) + kWidestVector), kSmallestRing);
}

}  // namespace velkor::blocked
