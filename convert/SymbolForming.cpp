#include "SymbolForming.h"

#include "GroupText.h"

namespace velkor::groups {

// Without branches on the data: the range digit is always stored, and kept
// only when the range changes.
char* FormSymbolsByteByByte(char& range, std::span<const unsigned char> block, char* out) {
    char current = range;
    for (const unsigned char byte : block) {
        const char digit = kSymbols.digit[byte];
        *out = digit;
        out += static_cast<std::size_t>(digit != current);
        current = digit;
        *out++ = kSymbols.letter[byte];
    }
    range = current;
    return out;
}

SymbolForming FastestSymbolForming() {
    return __builtin_cpu_supports("avx2") ? FormSymbolsAvx2 : FormSymbolsByteByByte;
}

}  // namespace velkor::groups
