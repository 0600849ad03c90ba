#include "RegisterStream.h"

#include <algorithm>

#include "Secret.h"

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
        PlaceCell(origin - cell, cells[cell - 1]);
    }
    const std::int64_t wideFrom = (origin - length + widest + 63) / 64 * 64;
    // Until then, squaring k times gives lags 2^k times the taps, valid once
    // (2^k - 1) x length bits are made: each phase makes bits as many at a
    // time as its shortest lag.
    std::int64_t j = origin;
    for (int scale = 1; j < wideFrom; scale *= 2) {
        const int count = std::min(shortest * scale, 64);
        const std::int64_t phaseEnd =
            std::min(wideFrom, origin + std::int64_t{2 * scale - 1} * length);
        for (; j < phaseEnd; j += count) {
            std::uint64_t bits = 0;
            for (const int tap : taps_) {
                bits ^= Word(j - std::int64_t{tap} * scale);
            }
            SetBits(j, count, bits);
        }
    }
    nextWord_ = origin / 64;
    firstWideWord_ = wideFrom / 64;
}

RegisterStream::~RegisterStream() {
    SecureZero(ring_.data(), sizeof(ring_));
}

void RegisterStream::PlaceCell(std::int64_t index, std::uint8_t bit) {
    ring_[(index >> 6) & (kRingWords - 1)] |= std::uint64_t{bit} << (index & 63);
}

void RegisterStream::SetBits(std::int64_t index, int count, std::uint64_t bits) {
    for (int i = 0; i < count;) {
        auto& word = ring_[((index + i) >> 6) & (kRingWords - 1)];
        const int shift = static_cast<int>((index + i) & 63);
        const int here = std::min(count - i, 64 - shift);
        const std::uint64_t mask = (here == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << here) - 1)
                                   << shift;
        word = (word & ~mask) | (((bits >> i) << shift) & mask);
        i += here;
    }
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
