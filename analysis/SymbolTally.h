#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "AnalysisState.h"

namespace velkor {

// Counts byte values fast: consecutive bytes go to four separate counter lanes,
// so a run of one value does not wait on one counter, and the 32-bit lanes are
// folded into 64-bit totals long before they could overflow.
class SymbolTally {
  public:
    void Add(const std::uint8_t* bytes, std::size_t count);
    // The totals of everything added so far.
    const ByteCounts& Counts();

  private:
    static constexpr std::size_t kLanes = 4;
    // Bytes between two folds: even if all went to one lane, it could not overflow.
    static constexpr std::uint64_t kFoldAfter = std::uint64_t{1} << 31;

    void Count(const std::uint8_t* bytes, std::size_t count);
    void Fold();

    std::array<std::array<std::uint32_t, 256>, kLanes> lanes_{};
    std::uint64_t unfolded_ = 0;
    ByteCounts totals_{};
};

}  // namespace velkor
