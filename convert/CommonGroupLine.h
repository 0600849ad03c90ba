#pragma once

#include <cstddef>

namespace velkor::groups {

// The line the encoder writes but for the last: fifty capital letters and
// digits in ten groups, single spaces between them, CR LF. Nearly all of a
// group text is such lines, and for them the per-character rules of decoding
// reduce to a plain walk over the fifty symbols.
inline constexpr std::size_t kCommonLineLength = 61;

// Whether the kCommonLineLength bytes at `line` are a common line.
bool IsCommonLine(const unsigned char* line);

// Writes the bytes of a common line at `out` and returns their end. Up to 50
// bytes are stored however many the line holds; `range` is carried through.
char* DecodeCommonLine(const unsigned char* line, unsigned& range, char* out);

}  // namespace velkor::groups
