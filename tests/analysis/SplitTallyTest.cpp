#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "SplitTally.h"

namespace velkor {
namespace {

// Block sizes around the chunk edges and below the split, many blocks in a
// row so that the helper takes part in some and misses others.
TEST(SplitTally, MatchesAPlainCountForEveryBlockSize) {
    std::mt19937 random(5);
    std::vector<std::uint8_t> bytes(9 * SplitTally::kChunk + 1);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random() % 5 == 0 ? 7 : random());
    }
    const std::size_t chunk = SplitTally::kChunk;
    SplitTally tally;
    ByteCounts expected{};
    for (int round = 0; round < 30; ++round) {
        for (const std::size_t size :
             {SplitTally::kSmallestSplit - 1, SplitTally::kSmallestSplit, 5 * chunk - 1,
              5 * chunk + 1, bytes.size(), std::size_t{1}}) {
            const std::size_t start = random() % (bytes.size() - size + 1);
            tally.Add(bytes.data() + start, size);
            for (std::size_t i = start; i < start + size; ++i) {
                ++expected[bytes[i]];
            }
        }
    }
    EXPECT_EQ(tally.Counts(), expected);
}

// The helper may still count a block when Add returns; a caller that fills
// one buffer while the other is counted, as the analysis does, still gets
// exact totals.
TEST(SplitTally, ABufferMayBeRefilledAfterTheNextAdd) {
    std::mt19937 random(9);
    std::array<std::vector<std::uint8_t>, 2> buffers{
        std::vector<std::uint8_t>(6 * SplitTally::kChunk),
        std::vector<std::uint8_t>(6 * SplitTally::kChunk)};
    SplitTally tally;
    ByteCounts expected{};
    for (int round = 0; round < 200; ++round) {
        auto& buffer = buffers[static_cast<std::size_t>(round % 2)];
        const auto value = static_cast<std::uint8_t>(random());
        std::fill(buffer.begin(), buffer.end(), value);
        const std::size_t size = SplitTally::kSmallestSplit + random() % (2 * SplitTally::kChunk);
        tally.Add(buffer.data(), size);
        expected[value] += size;
    }
    EXPECT_EQ(tally.Counts(), expected);
}

}  // namespace
}  // namespace velkor
