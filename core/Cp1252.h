#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Secret.h"

namespace velkor {

// Keys are 8-bit text: every character is kept as its Windows-1252 byte, the
// character set that keys of existing files were typed in.

// The byte of a character, or nothing when Windows-1252 has no such character.
std::optional<std::uint8_t> ToCp1252(char32_t character);
char32_t FromCp1252(std::uint8_t byte);

// Key bytes of a text read from outside (terminal, file, environment): valid
// UTF-8 is converted character by character and fails on a character without a
// byte; anything else is taken as the bytes it is. No copy of the key is left
// in memory but the result.
std::optional<SecretBytes> KeyBytesFromText(std::string_view text);

// Decodes valid UTF-8 into code points; nothing for invalid input.
std::optional<std::u32string> DecodeUtf8(std::string_view text);

}  // namespace velkor
