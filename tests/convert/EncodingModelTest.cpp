#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ConvertFixture.h"

namespace velkor::testing {
namespace {

// The encoding rules one symbol at a time, as plainly as they read.
std::string ModelEncode(const std::string& bytes) {
    std::string lines;
    int onLine = 0;
    long long symbols = 0;
    auto put = [&](char symbol) {
        lines += symbol;
        ++symbols;
        if (++onLine == 50) {
            lines += "\r\n";
            onLine = 0;
        } else if (onLine % 5 == 0) {
            lines += ' ';
        }
    };
    char range = '0';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const auto digit = static_cast<char>('0' + byte / 26);
        if (digit != range) {
            put(digit);
            range = digit;
        }
        put(static_cast<char>('A' + byte % 26));
    }
    if (onLine != 0) {
        lines += "\r\n";
    }
    return GroupFile(lines, (symbols + 4) / 5);
}

class EncodingModel : public ConvertTest {};

// Sizes around the 1024-byte blocks and the 64 KiB buffers, and byte mixes
// from no range change to one at nearly every byte, so that lines end at
// every place relative to a block.
TEST_F(EncodingModel, MatchesTheRulesAtEveryBoundary) {
    std::mt19937 random(99);
    std::uniform_int_distribution<std::size_t> near(0, 60);
    std::uint32_t seed = 0;
    for (const std::size_t base :
         {std::size_t{1}, std::size_t{1000}, std::size_t{2040}, std::size_t{65500}}) {
        for (int round = 0; round < 6; ++round) {
            const std::size_t size = base + near(random);
            for (const auto& [lowest, highest] : {std::pair{0, 255}, {0, 25}, {20, 30}}) {
                const std::string bytes = RandomBytes(size, ++seed, lowest, highest);
                SCOPED_TRACE(std::to_string(size) + " " + std::to_string(lowest));
                ASSERT_EQ(Encode(bytes), ModelEncode(bytes));
            }
        }
    }
}

}  // namespace
}  // namespace velkor::testing
