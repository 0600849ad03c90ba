#include "Cp1252.h"

#include <array>

namespace velkor {

namespace {

// 0x80..0x9F; the five bytes without a character keep their own code point.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t FromCp1252(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

std::optional<std::uint8_t> ToCp1252(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<std::uint8_t>(character);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == character) {
            return static_cast<std::uint8_t>(0x80 + i);
        }
    }
    return std::nullopt;
}

namespace {

// Hands each code point of valid UTF-8 to `take`; false (after some calls
// perhaps) when the text is not valid UTF-8. Keeps no copy of the text.
template <typename Take>
bool ForEachCodePoint(std::string_view text, Take take) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            code = lead & 0x07;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= text.size()) {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        take(code);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

}  // namespace

std::optional<std::u32string> DecodeUtf8(std::string_view text) {
    std::u32string out;
    if (!ForEachCodePoint(text, [&out](char32_t code) { out.push_back(code); })) {
        return std::nullopt;
    }
    return out;
}

std::optional<SecretBytes> KeyBytesFromText(std::string_view text) {
    SecretBytes bytes;
    bytes.reserve(text.size());
    bool representable = true;
    const bool valid = ForEachCodePoint(text, [&](char32_t code) {
        const auto byte = ToCp1252(code);
        if (byte) {
            bytes.push_back(*byte);
        } else {
            representable = false;
        }
    });
    if (!valid) {
        bytes.assign(text.begin(), text.end());
        return bytes;
    }
    if (!representable) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace velkor
