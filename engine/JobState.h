#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "FileSystem.h"
#include "Secret.h"

namespace velkor {

// Everything the engine keeps for one compile job; every routine of the job
// works on the one instance. Arrays are 0-based: element i-1 holds entry i.
// Registers hold one bit (0 or 1) per cell, cell 1 first.
struct JobState {
    JobState() = default;
    JobState(const JobState&) = delete;
    JobState& operator=(const JobState&) = delete;
    // Key material must not outlive the job.
    ~JobState();

    std::string SourceFileName;
    std::string DrainFileName;
    std::string KeyFileName;
    bool HasKeyFile = false;
    bool EncryptMode = false;
    bool Swift = true;

    std::array<std::uint8_t, 256> PassKey{};
    int PassKeyLength = 0;
    std::uint8_t PassKeyExtension = 0;
    std::array<std::uint8_t, 256> MainKey{};
    int MainKeyLength = 0;
    std::uint8_t MainKeyExtension = 0;
    std::array<std::uint8_t, 256> ExpandedKey{};

    std::array<std::uint8_t, 33> KeyRemainders{};
    std::array<std::uint8_t, 33> KeyRemaindersCopy{};
    std::array<std::uint8_t, 255> KeyReversed{};
    std::array<std::uint8_t, 255> MaskedKeyReversed{};
    std::array<std::uint8_t, 8> Register8{};
    std::array<std::uint8_t, 11> Register11{};
    std::array<std::uint8_t, 236> Register236{};
    std::array<std::uint8_t, 999> Register999{};
    std::uint8_t ChainBit = 0;
    bool ReversedOrder = false;
};

// The lags of a pass's tables: two into the 255-entry tables, two into the
// 33-entry ones, drawn from the pass key and its extension.
struct PassIndexes {
    explicit PassIndexes(const JobState& state);

    int long1;
    int short1;
    int long2;
    int short2;
};

}  // namespace velkor
