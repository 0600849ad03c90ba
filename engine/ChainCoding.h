#pragma once

#include <array>
#include <cstdint>

namespace velkor {

// The bit-chain coding as lookup tables. The coding state is one index 0..3:
// 2 when the cipher side is read least significant bit first, plus the chain
// bit. An entry holds the coded byte in its low 8 bits and the next state above.
struct ChainTables {
    std::array<std::array<std::uint16_t, 256>, 4> encode;
    std::array<std::array<std::uint16_t, 256>, 4> decode;
};

// Swift mode uses exclusive or, the slow mode its inverse.
const ChainTables& ChainTablesFor(bool swift);

constexpr int ChainState(bool reversedOrder, std::uint8_t chainBit) {
    return (reversedOrder ? 2 : 0) | (chainBit & 1);
}

}  // namespace velkor
