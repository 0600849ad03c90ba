#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velkor::groups {

// The group text format: a marker line, lines of up to ten groups of five
// symbols, a marker line and the count line, every line ended by CR LF.
inline constexpr std::string_view kMarkerLine = "/////\r\n";
inline constexpr std::string_view kCountPrefix = "Groups: ";
inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr int kSymbolsPerGroup = 5;
inline constexpr int kSymbolsPerLine = 50;
inline constexpr int kGroupsPerLine = kSymbolsPerLine / kSymbolsPerGroup;
// A full line: the symbols, a space between groups, CR LF.
inline constexpr int kLineLength = kSymbolsPerLine + kGroupsPerLine - 1 + 2;
inline constexpr int kLetters = 26;

// Sources are read, and progress and stop requests are taken, in blocks of this size.
inline constexpr std::size_t kBlockSize = 1024;

inline constexpr char kSlash = '/';
inline constexpr unsigned char kCarriageReturn = 13;
inline constexpr unsigned char kLineFeed = 10;
inline constexpr unsigned char kTextEnd = 26;  // Ctrl-Z ends a text file

// Only a to z change; bytes 128 to 255 stay as they are.
constexpr unsigned char UpperCase(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}
constexpr bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
constexpr bool IsLetter(unsigned char c) {
    return c >= 'A' && c <= 'Z';
}

// The range digit and the letter of every byte.
struct SymbolTable {
    std::array<char, 256> digit{};
    std::array<char, 256> letter{};
};

constexpr SymbolTable MakeSymbolTable() {
    SymbolTable table;
    for (int b = 0; b < 256; ++b) {
        table.digit[b] = static_cast<char>('0' + b / kLetters);
        table.letter[b] = static_cast<char>('A' + b % kLetters);
    }
    return table;
}

inline constexpr SymbolTable kSymbols = MakeSymbolTable();

}  // namespace velkor::groups
