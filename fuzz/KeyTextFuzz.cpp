// Key text from outside: any bytes are either refused or give 8-bit key bytes
// that convert back to the same characters.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto bytes = velkor::KeyBytesFromText(text);
    const auto decoded = velkor::DecodeUtf8(text);
    if (decoded && bytes) {
        if (bytes->size() != decoded->size()) {
            std::abort();
        }
        for (std::size_t i = 0; i < decoded->size(); ++i) {
            if (velkor::FromCp1252(static_cast<std::uint8_t>((*bytes)[i])) != (*decoded)[i]) {
                std::abort();
            }
        }
    }
    if (!decoded && (!bytes || !std::equal(bytes->begin(), bytes->end(), text.begin(), text.end(),
                                           [](std::uint8_t a, char b) {
                                               return a == static_cast<std::uint8_t>(b);
                                           }))) {
        std::abort();  // text that is not UTF-8 is taken as the bytes it is
    }
    return 0;
}
