#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "AnalysisState.h"

namespace velkor {

constexpr int kAnalysisLogLines = 270;

// count / size with exactly eight decimals, rounded half up on the exact
// quotient ("0.00195313" for 1 / 512); size must not be 0.
std::string FormatShare(std::uint64_t count, std::uint64_t size);

// The line of one byte value: symbol, value, count and share in fixed fields.
std::string SymbolLine(std::uint8_t value, std::uint64_t count, std::uint64_t size);

// The lines of the log of a completed count, without their line ends.
std::vector<std::string> AnalysisLogLines(const AnalysisState& state);

}  // namespace velkor
