#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "BlockKernels.h"

namespace velkor::blocked {

// The heap block that a pass's rings are carved from. A layout runs twice:
// once to measure, then, after Allocate, to place the rings. The destructor
// wipes the block; a move keeps it in place.
class RingArena {
  public:
    RingArena() = default;
    ~RingArena();
    RingArena(RingArena&&) noexcept = default;
    // Would drop the old block unwiped.
    RingArena& operator=(RingArena&&) = delete;
    RingArena(const RingArena&) = delete;
    RingArena& operator=(const RingArena&) = delete;

    // A ring of `size` bytes, a power of two; only a ring read at a lag
    // repeats its first block.
    Ring Carve(std::int64_t size, bool readBack = true);
    // Takes room for what was carved so far and carves again from the start.
    void Allocate();
    std::size_t Bytes() const { return size_; }

  private:
    // Whole cache lines, so that the vector loops' stores and the loads at
    // lags of whole vectors never straddle two lines.
    struct alignas(64) CacheLine {
        std::array<std::uint8_t, 64> bytes;
    };
    std::unique_ptr<CacheLine[]> lines_;
    std::size_t size_ = 0;
    std::size_t used_ = 0;
};

// The widest vector any tier runs.
constexpr std::int64_t kWidestVector = 64;

Taps MakeTaps(std::initializer_list<std::int64_t> lags);
// The same relation without the pairs of equal lags, which cancel: fewer
// loads, and a lag that cancels asks for no squaring.
Taps Cancelled(const Taps& taps);
// Moves the lags of a whole and of half a vector, and in 32-byte vectors of a
// few half vectors, out into the flags that the vector loops take from
// registers, pairs cancelling.
Taps WithNearTaps(Taps taps, std::int64_t width);
Taps Scaled(Taps taps, std::int64_t factor);

std::int64_t RoundUp(std::int64_t value, std::int64_t step);
// A ring read up to `reach` positions back from anywhere in a block written
// before.
std::int64_t BlockRing(std::int64_t reach);
// A ring of a recurrence that reaches back `reach` positions, read a block at
// a time, Register8's one position before the block.
std::int64_t RecurrenceRing(std::int64_t reach);

// Inline: the byte steps call it several times a byte.
inline std::uint8_t XorAtLags(const Ring& ring, const Taps& taps, std::int64_t t) {
    std::uint8_t sum = 0;
    for (int i = 0; i < taps.count; ++i) {
        sum ^= ring.Get(t - taps.lag[static_cast<std::size_t>(i)]);
    }
    return sum;
}

}  // namespace velkor::blocked
