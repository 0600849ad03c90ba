#pragma once

#include <cstddef>
#include <span>

namespace velkor::groups {

// Bytes past the last symbol that forming symbols may write over.
inline constexpr std::size_t kFormingSlack = 16;

// Writes the symbols of `block` from `out` on: each byte's range digit where
// it differs from the digit before it (`range`, which carries it from block
// to block), then its letter. Returns the end of the symbols.
using SymbolForming = char* (*)(char& range, std::span<const unsigned char> block, char* out);

char* FormSymbolsByteByByte(char& range, std::span<const unsigned char> block, char* out);
// The same 32 bytes at a time; only on processors with AVX2.
char* FormSymbolsAvx2(char& range, std::span<const unsigned char> block, char* out);

// The fastest of the two that the processor runs.
SymbolForming FastestSymbolForming();

}  // namespace velkor::groups
