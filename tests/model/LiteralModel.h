#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A slow, literal model of the cipher, kept only to check the fast engine:
// bit texts of "0"/"1" characters, registers that really shift, tables whose
// entries really move, 1-based arrays, every step in the order it is defined.
namespace velkor::literal {

using Bytes = std::vector<std::uint8_t>;

struct State {
    bool Swift = true;
    // 1-based: index 0 unused.
    std::array<int, 257> PassKey{};
    int PassKeyLength = 0;
    int PassKeyExtension = 0;
    std::array<int, 257> ExpandedKey{};
    std::array<int, 34> KeyRemainders{};
    std::array<int, 34> KeyRemaindersCopy{};
    std::array<int, 256> KeyReversed{};
    std::array<int, 256> MaskedKeyReversed{};
    std::string Register8;
    std::string Register11;
    std::string Register236;
    std::string Register999;
    char ChainBit = '0';
    bool ReversedOrder = false;

    // Pass indexes.
    int LongIndex1 = 0;
    int ShortIndex1 = 0;
    int LongIndex2 = 0;
    int ShortIndex2 = 0;

    // Values recorded for comparison with known answers.
    int Phase3Cycles = 0;
    int KeySum = 0;
    int Steps = 0;
    int DerivedExtension = 0;

    // Per-byte values of the last step.
    int MixA = 0;
    int MixB = 0;
    int MixC = 0;
    int MixD = 0;
    int KeyByte = 0;
};

void SetPassKey(State& state, const Bytes& key, int extension);
void ExpandPassKey(State& state);
void PreparePassTables(State& state);
void PassSetup(State& state);

void UpdateBitOrder(State& state, int value);
int ChainEncode(State& state, int value, bool inverted);
int ChainDecode(State& state, int value, bool inverted);
void ClockRegisters(State& state);
int ApplyKeystream(State& state, int value);
void ComputeKeyByte(State& state);
void Feedback(State& state, int f);

int EncryptStep(State& state, int x);
// Output of a decrypt step; the caller settles the feedback byte.
int DecryptStep(State& state, int c, bool keystreamOn);

// Everything a pass needs: key, extension and swift mode.
State PreparedPass(const Bytes& key, int extension, bool swift);

// One encryption pass with header length n.
Bytes EncryptPass(const Bytes& key, int extension, bool swift, const Bytes& input, int n);

struct DecryptResult {
    Bytes output;
    bool headerMatched = true;
};
// One decryption pass in 4096-byte blocks with the header recognition, run to
// the end even when the header does not match.
DecryptResult DecryptPass(const Bytes& key, int extension, bool swift, const Bytes& input);

// Whole jobs: the user's key and the key-file blocks in their order.
Bytes EncryptJob(const Bytes& key, int extension, bool swift, const Bytes& keyFile,
                 const Bytes& input, const std::vector<int>& headerLengths);
Bytes DecryptJob(const Bytes& key, int extension, bool swift, const Bytes& keyFile,
                 const Bytes& input);

}  // namespace velkor::literal
