#include "BitText.h"

#include <array>

namespace velkor {

namespace {

using BitText = std::array<char, 8>;

constexpr std::array<BitText, 256> MakeTable(bool reversed) {
    std::array<BitText, 256> table{};
    for (int value = 0; value < 256; ++value) {
        for (int position = 0; position < 8; ++position) {
            const int bit = reversed ? position : 7 - position;
            table[value][position] = ((value >> bit) & 1) != 0 ? '1' : '0';
        }
    }
    return table;
}

constexpr auto kBinTable = MakeTable(false);
constexpr auto kBinReversedTable = MakeTable(true);
constexpr std::array<std::uint8_t, 8> kBinWeights = {128, 64, 32, 16, 8, 4, 2, 1};
constexpr std::array<std::uint8_t, 8> kBinReversedWeights = {1, 2, 4, 8, 16, 32, 64, 128};

std::uint8_t Weigh(std::string_view bits, const std::array<std::uint8_t, 8>& weights) {
    unsigned sum = 0;
    const std::size_t length = bits.size() < weights.size() ? bits.size() : weights.size();
    for (std::size_t position = length; position-- > 0;) {
        if (bits[position] == '1') {
            sum += weights[position];
        }
    }
    return static_cast<std::uint8_t>(sum);
}

}  // namespace

std::string DecToBin(std::uint8_t value) {
    return {kBinTable[value].begin(), kBinTable[value].end()};
}

std::string DecToBinReversed(std::uint8_t value) {
    return {kBinReversedTable[value].begin(), kBinReversedTable[value].end()};
}

std::uint8_t BinToDec(std::string_view bits) {
    return Weigh(bits, kBinWeights);
}

std::uint8_t BinReversedToDec(std::string_view bits) {
    return Weigh(bits, kBinReversedWeights);
}

}  // namespace velkor
