#pragma once

#include <cstdint>
#include <string>

#include "Secret.h"

namespace velkor {

// What a compile job takes from the main window when it starts.
struct CompileSettings {
    SecretBytes Key;                // 8-bit key bytes, 6 to 128 of them
    std::uint8_t KeyExtension = 0;  // 0: no extension
    std::string KeyFileName;        // empty: no key file
    std::string SourceFileName;
    std::string DrainFileName;
    bool EncryptMode = false;
    bool Swift = true;
    // An open stream (standard input or output) in place of the named source
    // or drain; -1: the named file. The names are still used in messages.
    int SourceStream = -1;
    int DrainStream = -1;
};

}  // namespace velkor
