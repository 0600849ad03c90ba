#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velkor {

// Occurrences of each byte value, indexed by the value.
using ByteCounts = std::array<std::uint64_t, 256>;

// The state of one analysis, shared by its steps and reporters. Counts are
// 64-bit and names are full paths, so files of any size and depth come out right.
struct AnalysisState {
    ByteCounts SymbolCounts{};
    // Bytes read: the file size once the count is complete.
    std::uint64_t AnalysedSize = 0;
    std::string AnalysisSourceName;
    std::string AnalysisLogName;
    // Each step runs only while this is true.
    bool AnalysisProceed = false;
};

}  // namespace velkor
