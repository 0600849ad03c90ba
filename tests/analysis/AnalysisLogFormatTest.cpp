#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "AnalysisLogFormat.h"
#include "AnalysisLogName.h"

namespace velkor {
namespace {

TEST(FormatShare, RoundsHalvesUpOnTheExactQuotient) {
    EXPECT_EQ(FormatShare(1, 512), "0.00195313");  // exactly 0.001953125
    EXPECT_EQ(FormatShare(1, 3), "0.33333333");
    EXPECT_EQ(FormatShare(2, 3), "0.66666667");
    EXPECT_EQ(FormatShare(12, 1000), "0.01200000");
    EXPECT_EQ(FormatShare(0, 7), "0.00000000");
    EXPECT_EQ(FormatShare(5, 5), "1.00000000");
    EXPECT_EQ(FormatShare(1, 200'000'000), "0.00000001");
    // 0.33333333499999999999999995: a double quotient rounds this up.
    EXPECT_EQ(FormatShare(33'333'333'500'000'001, 100'000'000'000'000'003), "0.33333333");
}

TEST(FormatShare, StaysExactForCountsFarBeyond32Bits) {
    const std::uint64_t size = (std::uint64_t{1} << 63) + 1;
    EXPECT_EQ(FormatShare(size / 3, size), "0.33333333");
    EXPECT_EQ(FormatShare(size - 1, size), "1.00000000");
    EXPECT_EQ(FormatShare(std::uint64_t{1} << 40, std::uint64_t{1} << 49), "0.00195313");
}

TEST(SymbolLine, HasFixedFieldsWithTheRawByteOrNil) {
    EXPECT_EQ(SymbolLine(65, 12, 1000),
              "   A  ASCII DecCode:   65   Occurrence:        12   Coincidence:  0.01200000");
    EXPECT_EQ(SymbolLine(0, 0, 3),
              std::string("   ") + '\0' +
                  "  ASCII DecCode:    0   Occurrence:         0   Coincidence:  0.00000000");
    EXPECT_EQ(SymbolLine(12, 1, 3),
              "   \f  ASCII DecCode:   12   Occurrence:         1   Coincidence:  0.33333333");
    EXPECT_EQ(SymbolLine(255, 2, 3),
              "   \xFF  ASCII DecCode:  255   Occurrence:         2   Coincidence:  0.66666667");
    for (const int value : {8, 9, 10, 11, 13}) {
        EXPECT_EQ(SymbolLine(static_cast<std::uint8_t>(value), 0, 1).substr(0, 4), " nil") << value;
    }
    for (const int value : {7, 14, 31, 127}) {
        EXPECT_EQ(SymbolLine(static_cast<std::uint8_t>(value), 0, 1).substr(0, 4),
                  std::string(3, ' ') + static_cast<char>(value))
            << value;
    }
}

TEST(SymbolLine, WidensTheCountBeyondEightDigits) {
    EXPECT_EQ(SymbolLine(66, 3'000'000'000, 3'000'000'000),
              "   B  ASCII DecCode:   66   Occurrence:  3000000000   Coincidence:  1.00000000");
}

TEST(AnalysisLogName, TakesTheNameUpToItsFirstDotBesideTheFile) {
    EXPECT_EQ(AnalysisLogNameFor("/home/u/letter.doc"), "/home/u/!letter!.txt");
    EXPECT_EQ(AnalysisLogNameFor("/a.b/archive.tar.gz"), "/a.b/!archive!.txt");
    EXPECT_EQ(AnalysisLogNameFor("/data/README"), "/data/!!.txt");
    EXPECT_EQ(AnalysisLogNameFor("/data/!!.txt"), "/data/!!!!.txt");
    EXPECT_EQ(AnalysisLogNameFor("/data/.profile"), "/data/!!.txt");
    EXPECT_EQ(AnalysisLogNameFor("relative.name"), "!relative!.txt");
}

}  // namespace
}  // namespace velkor
