#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "GroupText.h"
#include "SymbolForming.h"

namespace velkor::testing {
namespace {

using groups::kFormingSlack;

constexpr char kUntouched = '#';

struct Formed {
    std::string symbols;
    char range;
};

// Forms the symbols of `bytes` in one call; fails if it wrote further than
// its slack past them.
Formed Form(groups::SymbolForming form, const std::vector<unsigned char>& bytes, char range) {
    std::vector<char> out(2 * bytes.size() + kFormingSlack + 64, kUntouched);
    const char* end = form(range, bytes, out.data());
    const auto length = static_cast<std::size_t>(end - out.data());
    for (std::size_t at = length + kFormingSlack; at < out.size(); ++at) {
        EXPECT_EQ(out[at], kUntouched) << "written " << at - length << " bytes past the symbols";
    }
    return {std::string(out.data(), length), range};
}

// Runs of equal range digits keep their digit out, so both kinds of byte come.
std::vector<unsigned char> RandomBytes(std::mt19937& random, std::size_t count) {
    std::vector<unsigned char> bytes(count);
    const bool runs = random() % 2 == 0;
    unsigned char value = 0;
    for (auto& byte : bytes) {
        if (!runs || random() % 4 == 0) {
            value = static_cast<unsigned char>(random());
        } else {
            const auto letter = static_cast<int>(random() % groups::kLetters);
            value =
                static_cast<unsigned char>(value / groups::kLetters * groups::kLetters + letter);
        }
        byte = value;
    }
    return bytes;
}

TEST(SymbolForming, ByteByByteGivesDigitsOnlyWhereTheRangeChanges) {
    const std::vector<unsigned char> bytes{0, 25, 26, 255, 254, 0};
    const Formed formed = Form(groups::FormSymbolsByteByByte, bytes, '0');
    EXPECT_EQ(formed.symbols, "AZ1A9VU0A");
    EXPECT_EQ(formed.range, '0');
    EXPECT_EQ(Form(groups::FormSymbolsByteByByte, {26}, '1').symbols, "A");
}

// Every length around the 32-byte steps, every range carried in, and every
// byte value, against the byte-by-byte forming.
TEST(SymbolForming, VectorsFormWhatByteByByteForms) {
    if (!__builtin_cpu_supports("avx2")) {
        GTEST_SKIP() << "the processor has no AVX2";
    }
    std::mt19937 random(20261208);
    std::vector<unsigned char> all(256);
    for (std::size_t value = 0; value < all.size(); ++value) {
        all[value] = static_cast<unsigned char>(value);
    }
    std::vector<std::vector<unsigned char>> inputs{all, {all.rbegin(), all.rend()}};
    for (std::size_t length = 0; length <= 200; ++length) {
        inputs.push_back(RandomBytes(random, length));
    }
    inputs.push_back(RandomBytes(random, groups::kBlockSize));
    for (const auto& bytes : inputs) {
        for (char range = '0'; range <= '9'; ++range) {
            SCOPED_TRACE(::testing::Message() << bytes.size() << " bytes from range " << range);
            const Formed expected = Form(groups::FormSymbolsByteByByte, bytes, range);
            const Formed vectors = Form(groups::FormSymbolsAvx2, bytes, range);
            EXPECT_EQ(vectors.symbols, expected.symbols);
            EXPECT_EQ(vectors.range, expected.range);
        }
    }
}

}  // namespace
}  // namespace velkor::testing
