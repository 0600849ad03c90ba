#include "RegisterStream.h"

#include <algorithm>

namespace velkor {

RegisterStream::RegisterStream(const std::uint8_t* cells, int length, std::vector<int> taps)
    : taps_(std::move(taps)) {
    const int shortest = *std::min_element(taps_.begin(), taps_.end());
    int factor = 1;
    while (shortest * factor < 64) {
        factor *= 2;
    }
    for (const int tap : taps_) {
        wideTaps_.push_back(tap * factor);
    }
    const int widest = *std::max_element(wideTaps_.begin(), wideTaps_.end());

    // Bit j holds clock j - origin + 1; the cells sit just before the origin.
    const std::int64_t origin = (std::int64_t{length} + 63) / 64 * 64;
    for (int cell = 1; cell <= length; ++cell) {
        SetBit(origin - cell, cells[cell - 1]);
    }
    const std::int64_t wideFrom = (origin - length + widest + 63) / 64 * 64;
    for (std::int64_t j = origin; j < wideFrom; ++j) {
        std::uint8_t bit = 0;
        for (const int tap : taps_) {
            bit ^= Bit(j - tap);
        }
        SetBit(j, bit);
    }
    nextWord_ = origin / 64;
    firstWideWord_ = wideFrom / 64;
}

std::uint8_t RegisterStream::Bit(std::int64_t index) const {
    return static_cast<std::uint8_t>((ring_[(index >> 6) & (kRingWords - 1)] >> (index & 63)) & 1);
}

void RegisterStream::SetBit(std::int64_t index, std::uint8_t bit) {
    auto& word = ring_[(index >> 6) & (kRingWords - 1)];
    const std::uint64_t mask = std::uint64_t{1} << (index & 63);
    word = bit != 0 ? word | mask : word & ~mask;
}

std::uint64_t RegisterStream::Word(std::int64_t bitIndex) const {
    const std::int64_t word = bitIndex >> 6;
    const int shift = static_cast<int>(bitIndex & 63);
    const std::uint64_t low = ring_[word & (kRingWords - 1)];
    if (shift == 0) {
        return low;
    }
    const std::uint64_t high = ring_[(word + 1) & (kRingWords - 1)];
    return (low >> shift) | (high << (64 - shift));
}

std::uint64_t RegisterStream::Next() {
    const std::int64_t word = nextWord_++;
    if (word < firstWideWord_) {
        return ring_[word & (kRingWords - 1)];
    }
    std::uint64_t bits = 0;
    for (const int tap : wideTaps_) {
        bits ^= Word(word * 64 - tap);
    }
    ring_[word & (kRingWords - 1)] = bits;
    return bits;
}

}  // namespace velkor
