#include "ChainCoding.h"

namespace velkor {

namespace {

int Reverse8(int value) {
    int reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        reversed |= ((value >> bit) & 1) << (7 - bit);
    }
    return reversed;
}

bool NextOrder(int cipherByte, bool reversed) {
    if (cipherByte < 85) {
        return false;
    }
    return cipherByte > 170 ? true : reversed;
}

ChainTables Build(bool inverted) {
    ChainTables tables{};
    const int flip = inverted ? 1 : 0;
    for (int state = 0; state < 4; ++state) {
        const bool reversed = (state & 2) != 0;
        const int chainBit = state & 1;
        for (int value = 0; value < 256; ++value) {
            // Encoding: each bit, most significant first, joins the previous output bit.
            int previous = chainBit;
            int coded = 0;
            for (int i = 7; i >= 0; --i) {
                previous = ((value >> i) & 1) ^ previous ^ flip;
                coded |= previous << i;
            }
            const int out = reversed ? Reverse8(coded) : coded;
            tables.encode[state][value] = static_cast<std::uint16_t>(
                out | ChainState(NextOrder(out, reversed), coded & 1) << 8);

            // Decoding: each bit of the cipher side joins the previous input bit.
            const int text = reversed ? Reverse8(value) : value;
            previous = chainBit;
            int plain = 0;
            for (int i = 7; i >= 0; --i) {
                const int bit = (text >> i) & 1;
                plain |= (bit ^ previous ^ flip) << i;
                previous = bit;
            }
            tables.decode[state][value] = static_cast<std::uint16_t>(
                plain | ChainState(NextOrder(value, reversed), text & 1) << 8);
        }
    }
    return tables;
}

}  // namespace

const ChainTables& ChainTablesFor(bool swift) {
    static const ChainTables xorTables = Build(false);
    static const ChainTables xnorTables = Build(true);
    return swift ? xorTables : xnorTables;
}

}  // namespace velkor
