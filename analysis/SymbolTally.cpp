#include "SymbolTally.h"

#include <algorithm>
#include <cstring>

namespace velkor {

void SymbolTally::Add(const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const auto room =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, kFoldAfter - unfolded_));
        Count(bytes, room);
        unfolded_ += room;
        bytes += room;
        count -= room;
        if (unfolded_ == kFoldAfter) {
            Fold();
        }
    }
}

void SymbolTally::Count(const std::uint8_t* bytes, std::size_t count) {
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + i, sizeof word);
        ++lanes_[0][word & 0xFF];
        ++lanes_[1][(word >> 8) & 0xFF];
        ++lanes_[2][(word >> 16) & 0xFF];
        ++lanes_[3][(word >> 24) & 0xFF];
        ++lanes_[0][(word >> 32) & 0xFF];
        ++lanes_[1][(word >> 40) & 0xFF];
        ++lanes_[2][(word >> 48) & 0xFF];
        ++lanes_[3][word >> 56];
    }
    for (; i < count; ++i) {
        ++lanes_[i % kLanes][bytes[i]];
    }
}

void SymbolTally::Fold() {
    for (auto& lane : lanes_) {
        for (std::size_t value = 0; value < lane.size(); ++value) {
            totals_[value] += lane[value];
        }
        lane.fill(0);
    }
    unfolded_ = 0;
}

const ByteCounts& SymbolTally::Counts() {
    Fold();
    return totals_;
}

}  // namespace velkor
