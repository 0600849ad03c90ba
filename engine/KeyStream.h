#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "BlockKernels.h"
#include "JobState.h"
#include "RegisterStream.h"
#include "RingLayout.h"

namespace velkor {

// The key bytes of one pass: the xor of the two tables that never see the
// data (KeyRemaindersCopy and KeyReversed) and of the four registers. Nothing
// the transform does reaches back into them, so they can be made ahead, on
// another thread, while the pass transforms bytes whose key bytes it has.
//
// Made a block at a time: byte by byte from the tables' and registers' own
// steps until each recurrence, squared, reaches back far enough for the
// vector loops. About 40 to 50 KiB on the heap, wiped by the destructor.
class KeyStream {
  public:
    KeyStream(const JobState& state, const PassIndexes& indexes, const blocked::Kernels& kernels);
    KeyStream(KeyStream&&) noexcept = default;
    KeyStream& operator=(KeyStream&&) = delete;
    KeyStream(const KeyStream&) = delete;
    KeyStream& operator=(const KeyStream&) = delete;
    ~KeyStream() = default;

    // The next `count` key bytes.
    void Make(std::uint8_t* keys, std::size_t count);

    std::size_t StateBytes() const { return arena_.Bytes(); }

  private:
    // The key bytes of the next whole block.
    void MakeBlock(std::uint8_t* keys);
    void SetUpTaps(const PassIndexes& indexes);
    void LayOutRings();
    void FillRings(const JobState& state);

    const blocked::Kernels* kernels_;
    bool swift_;
    blocked::RingArena arena_;
    // Streams of new first entries of KeyRemaindersCopy (a) and KeyReversed
    // (c); the registers' bytes, first clock in the top bit.
    blocked::Ring a_, c_;
    std::array<blocked::Ring, 4> registers_{};
    blocked::Taps tapsA_, tapsC_;
    std::array<blocked::Taps, 4> registerTaps_;
    blocked::KeySources sources_;
    std::array<std::optional<RegisterStream>, 4> registerWarmUp_;
    std::int64_t aVectorFrom_ = 0;
    std::int64_t cVectorFrom_ = 0;
    std::array<std::int64_t, 4> registerVectorFrom_{};
    std::int64_t vectorFrom_ = 0;  // every source on vectors

    // The last block made, for requests that end inside a block.
    std::uint8_t* block_ = nullptr;
    std::int64_t made_ = 0;   // stream positions made
    std::int64_t given_ = 0;  // and given out
};

}  // namespace velkor
