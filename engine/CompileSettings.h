#pragma once

#include <cstdint>
#include <string>

namespace velkor {

// What a compile job takes from the main window when it starts.
struct CompileSettings {
    std::string Key;                // 8-bit key bytes, 6 to 128 of them
    std::uint8_t KeyExtension = 0;  // 0: no extension
    std::string KeyFileName;        // empty: no key file
    std::string SourceFileName;
    std::string DrainFileName;
    bool EncryptMode = false;
    bool Swift = true;
    std::string DefaultDirectory;  // folder of the work file, ending with "/"
};

}  // namespace velkor
