#include <gtest/gtest.h>

#include "BitText.h"

namespace velkor {
namespace {

TEST(BitTables, TextsOfSingleBytes) {
    EXPECT_EQ(DecToBin(0), "00000000");
    EXPECT_EQ(DecToBin(1), "00000001");
    EXPECT_EQ(DecToBin(5), "00000101");
    EXPECT_EQ(DecToBin(255), "11111111");
    EXPECT_EQ(DecToBinReversed(1), "10000000");
    EXPECT_EQ(DecToBinReversed(6), "01100000");
    EXPECT_EQ(DecToBinReversed(128), "00000001");
}

TEST(BitTables, ShortAndOddTextsReadAsLeadingBits) {
    EXPECT_EQ(BinToDec(""), 0);
    EXPECT_EQ(BinToDec("1"), 128);
    EXPECT_EQ(BinToDec("11"), 192);
    EXPECT_EQ(BinReversedToDec("1"), 1);
    EXPECT_EQ(BinReversedToDec("11"), 3);
    EXPECT_EQ(BinToDec("x1"), 64);
}

TEST(BitTables, PairsInvertAndMixedPairsReverseBitOrder) {
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<std::uint8_t>(value);
        EXPECT_EQ(BinToDec(DecToBin(byte)), byte);
        EXPECT_EQ(BinReversedToDec(DecToBinReversed(byte)), byte);
        std::uint8_t reversed = 0;
        for (int bit = 0; bit < 8; ++bit) {
            reversed |= static_cast<std::uint8_t>(((value >> bit) & 1) << (7 - bit));
        }
        EXPECT_EQ(BinReversedToDec(DecToBin(byte)), reversed);
        EXPECT_EQ(BinToDec(DecToBinReversed(byte)), reversed);
    }
}

}  // namespace
}  // namespace velkor
