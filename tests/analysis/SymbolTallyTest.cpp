#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "SymbolTally.h"

namespace velkor {
namespace {

TEST(SymbolTally, MatchesAPlainCountForAnyLengthAndSplit) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> bytes(10'000);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random() % 7 == 0 ? 200 : random());
    }
    for (const std::size_t split :
         {std::size_t{1}, std::size_t{3}, std::size_t{4096}, bytes.size()}) {
        SymbolTally tally;
        ByteCounts expected{};
        for (std::size_t start = 0; start < bytes.size(); start += split) {
            const std::size_t count = std::min(split, bytes.size() - start);
            tally.Add(bytes.data() + start, count);
            for (std::size_t i = start; i < start + count; ++i) {
                ++expected[bytes[i]];
            }
        }
        EXPECT_EQ(tally.Counts(), expected) << "split " << split;
    }
}

}  // namespace
}  // namespace velkor
