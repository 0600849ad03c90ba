#include "AnalysisLogFormat.h"

namespace velkor {

namespace {

constexpr std::uint64_t kShareScale = 100'000'000;  // eight decimals

// The log shows the symbol of every value except these control characters,
// which would break its lines on screen.
bool ShownAsNil(std::uint8_t value) {
    return value == 8 || value == 9 || value == 10 || value == 11 || value == 13;
}

std::string RightAligned(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.insert(0, width - text.size(), ' ');
    }
    return text;
}

}  // namespace

std::string FormatShare(std::uint64_t count, std::uint64_t size) {
    // Exact: round(count / size * 10^8) = floor((2 * count * 10^8 + size) / (2 * size)).
    __extension__ using Wide = unsigned __int128;
    const Wide doubledSize = Wide{size} * 2;
    const Wide scaled = (Wide{count} * kShareScale * 2 + size) / doubledSize;
    const auto whole = static_cast<std::uint64_t>(scaled / kShareScale);
    const std::string fraction = std::to_string(static_cast<std::uint64_t>(scaled % kShareScale));
    return std::to_string(whole) + "." + std::string(8 - fraction.size(), '0') + fraction;
}

std::string SymbolLine(std::uint8_t value, std::uint64_t count, std::uint64_t size) {
    std::string line =
        ShownAsNil(value) ? std::string(" nil") : std::string(3, ' ') + static_cast<char>(value);
    line += "  ASCII DecCode:  ";
    line += RightAligned(std::to_string(value), 3);
    line += "   Occurrence:  ";
    line += RightAligned(std::to_string(count), 8);
    line += "   Coincidence:  ";
    line += FormatShare(count, size);
    return line;
}

std::vector<std::string> AnalysisLogLines(const AnalysisState& state) {
    std::vector<std::string> lines;
    lines.reserve(kAnalysisLogLines);
    lines.emplace_back();
    lines.emplace_back(
        "**********************> Velkor32 Log File <*"
        "***********************************");
    lines.insert(lines.end(), 2, std::string());
    lines.push_back(" -> File Name:  " + state.AnalysisSourceName);
    lines.emplace_back();
    lines.push_back(" -> File Size:  " + std::to_string(state.AnalysedSize));
    lines.insert(lines.end(), 3, std::string());
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<std::uint8_t>(value);
        lines.push_back(SymbolLine(byte, state.SymbolCounts[byte], state.AnalysedSize));
    }
    lines.insert(lines.end(), 2, std::string());
    lines.emplace_back(
        "**********************> Velkor32 Log End <*"
        "************************************");
    lines.emplace_back();
    return lines;
}

}  // namespace velkor
