#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velkor {

// Conversions between a byte and its text of eight bit characters ("0"/"1"),
// most significant bit first or reversed. Key preparation works on these texts.
std::string DecToBin(std::uint8_t value);
std::string DecToBinReversed(std::uint8_t value);
// Characters other than "1" count as clear bits; weights follow the positions
// from the left, so a shorter text gives the leading bits.
std::uint8_t BinToDec(std::string_view bits);
std::uint8_t BinReversedToDec(std::string_view bits);

}  // namespace velkor
