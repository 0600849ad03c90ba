#include "LiteralModel.h"

#include <cstdlib>

#include "BitText.h"

namespace velkor::literal {

namespace {

constexpr int C1 = 0x2A260D53;
constexpr int C2 = 0x808075;
constexpr int C3 = 0x7FFFFFFF;
constexpr int C4 = 0x759AED66;
constexpr int C5 = 0xA651299;

char Xor(char a, char b) {
    return (a == '0' && b == '1') || (a == '1' && b == '0') ? '1' : '0';
}
char Xnor(char a, char b) {
    return Xor(a, b) == '1' ? '0' : '1';
}

std::string Dec(int value) {
    return DecToBin(static_cast<std::uint8_t>(value));
}
std::string DecRev(int value) {
    return DecToBinReversed(static_cast<std::uint8_t>(value));
}

// Shifts c in at the front of a text of fixed capacity.
void ShiftIn(std::string& text, char c, std::size_t capacity) {
    text.insert(text.begin(), c);
    if (text.size() > capacity) {
        text.pop_back();
    }
}

// One clock of a register: feedback from the taps before the shift.
void Clock(std::string& reg, std::initializer_list<int> taps) {
    char feedback = '0';
    for (const int tap : taps) {
        feedback = Xor(feedback, reg[tap - 1]);
    }
    for (std::size_t i = reg.size() - 1; i >= 1; --i) {
        reg[i] = reg[i - 1];
    }
    reg[0] = feedback;
}

template <std::size_t N>
void Rotate(std::array<int, N>& table, int length, int first) {
    for (int i = length; i >= 2; --i) {
        table[i] = table[i - 1];
    }
    table[1] = first;
}

}  // namespace

void SetPassKey(State& state, const Bytes& key, int extension) {
    state.PassKeyLength = 0;
    for (const auto byte : key) {
        state.PassKeyLength += 1;
        state.PassKey[state.PassKeyLength] = byte;
    }
    state.PassKeyExtension = extension;
}

void ExpandPassKey(State& state) {
    std::array<int, 257> scratch{};
    std::string bits;
    int sum = 0;
    int prev = 0;
    int mix = 0;
    const int length = state.PassKeyLength;
    for (int i = 1; i <= length; ++i) {
        const int v = state.PassKey[i];
        sum = sum + v;
        const int s = v << (i % 11);
        int t = 0;
        if (i % 11 == 0 || s == 0 || s == prev) {
            t = std::abs(((~v) * 257 + i) ^ (prev + i));
        } else {
            t = (i + s) ^ v;
        }
        prev = s;
        scratch[i] = t & 255;
    }

    const int oldLength = length;
    state.PassKeyLength = 0;
    int j = 0;
    while (state.PassKeyLength < 256) {
        state.PassKeyLength += 1;
        const int n = state.PassKeyLength;
        j += 1;
        const int r = ((sum + j) ^ C1) % 23;
        prev = (sum ^ C1) % C2;
        const int b = j <= oldLength ? scratch[j] : state.PassKey[j - oldLength];
        if (prev > 0 && prev % 2 == 1 && r % 2 == 1) {
            sum = (b * prev) % C3;
        } else {
            sum = (b << r) % C3;
        }
        if (sum < C4) {
            mix = (sum + C5) / j;
        } else {
            mix = sum >> ((j + r) % 16);
        }
        if (j <= oldLength) {
            if (j % 2 == 1 && mix % 2 == 1) {
                state.PassKey[n] = (scratch[j] ^ mix ^ prev) & 255;
            } else {
                state.PassKey[n] = (scratch[j] ^ mix ^ sum) & 255;
            }
        } else {
            mix = mix & 255;
            state.PassKey[n] = (state.PassKey[j - oldLength] * mix + C1) % 256;
        }
        bits += DecRev(mix & 255);
    }

    state.Phase3Cycles = 0;
    while (true) {
        state.Phase3Cycles += 1;
        const int k = sum & 2047;
        for (int step = 0; step < k; ++step) {
            ShiftIn(bits, bits[255 - 1] != bits[56 - 1] ? '1' : '0', 2048);
        }
        std::string chunk;
        state.PassKeyLength = 0;
        for (int p = 1; p <= 2048; ++p) {
            if (state.Swift) {
                chunk += bits[p - 1];
            } else {
                const char c = bits[p - 1] != bits[2049 - p - 1] ? '1' : '0';
                chunk.insert(chunk.begin(), c);
            }
            if (chunk.size() == 8) {
                state.PassKeyLength += 1;
                const int n = state.PassKeyLength;
                if ((state.PassKey[n] + n) % 2 == 1) {
                    state.PassKey[n] = (BinReversedToDec(chunk) * state.PassKey[n] + C1) % 256;
                } else {
                    state.PassKey[n] = (BinToDec(chunk) * state.PassKey[n] + C1) % 256;
                }
                chunk.clear();
            }
        }
        const int w = (sum & 0x10000) ^ (sum >> 16);
        sum = ((state.PassKey[1] * C2) ^ C5) % C3;
        if (static_cast<double>(w) / 65536.0 > 0.5) {
            break;
        }
    }
    state.ExpandedKey = state.PassKey;
}

void PreparePassTables(State& state) {
    const int length = state.PassKeyLength;
    const int e = state.PassKeyExtension;
    int keySum = 0;
    int steps = e;
    std::vector<int> byteRegister;
    auto shiftByteIn = [&byteRegister](int b) {
        byteRegister.insert(byteRegister.begin(), b);
        if (byteRegister.size() > 15) {
            byteRegister.pop_back();
        }
    };
    state.Register8.clear();
    state.Register11 = std::string(11, '1');
    state.Register236 = std::string(236, '1');
    for (int i = 0; i < 15; ++i) {
        shiftByteIn(255);
    }
    if (!state.Swift) {
        state.Register999 = std::string(999, '1');
    }
    if (state.Swift) {
        for (int i = 1; i <= length; ++i) {
            keySum += state.PassKey[i];
            if (state.PassKey[i] == 0) {
                steps += 256 - i;
            } else {
                steps += keySum % (state.PassKey[i] + 1);
            }
        }
    }
    if (keySum == 0) {
        keySum = 1;
    }
    steps = ((steps + keySum) % 32768) + 1;
    const int d = e == 0 ? ((length * keySum) % 255) + 1 : ((e * keySum) % 255) + 1;
    state.PassKeyExtension = d;
    state.ReversedOrder = d <= 127;
    for (int i = 0; i < d; ++i) {
        ShiftIn(state.Register11, state.Register11[10] != state.Register11[1] ? '1' : '0', 11);
    }
    state.Register8 = Dec(d);
    state.PassKeyExtension = 255 - BinReversedToDec(state.Register8);
    for (int i = 1; i <= 33; ++i) {
        state.KeyRemainders[i] = keySum % (state.PassKey[i] + 1);
    }
    state.KeyRemaindersCopy = state.KeyRemainders;
    for (int i = 0; i < steps; ++i) {
        shiftByteIn(byteRegister[14] ^ byteRegister[13]);
    }
    for (int i = 1; i <= 255; ++i) {
        state.KeyReversed[i] = state.PassKey[257 - i];
    }
    for (int i = 1; i <= length; ++i) {
        state.PassKey[i] = state.PassKey[i] ^ byteRegister[0];
        shiftByteIn(byteRegister[14] ^ byteRegister[13]);
    }
    for (int i = 1; i <= 255; ++i) {
        state.MaskedKeyReversed[i] = state.PassKey[257 - i];
    }
    state.KeySum = keySum;
    state.Steps = steps;
    state.DerivedExtension = d;
}

void PassSetup(State& state) {
    const int e = state.PassKeyExtension;
    state.LongIndex1 = (e % 254) + 1;
    state.ShortIndex1 = (256 * state.LongIndex1) % 33;
    if (state.ShortIndex1 == 0) {
        state.ShortIndex1 = (state.LongIndex1 % 32) + 1;
    }
    state.LongIndex2 = state.PassKey[state.LongIndex1 + 1] % 255;
    if (state.LongIndex2 == 0) {
        state.LongIndex2 = ((e ^ state.ShortIndex1) % 254) + 1;
    }
    state.ShortIndex2 = state.PassKey[state.LongIndex2 + 1] % 33;
    if (state.ShortIndex2 == 0) {
        state.ShortIndex2 = ((state.LongIndex1 ^ state.LongIndex2) % 32) + 1;
    }
}

void UpdateBitOrder(State& state, int value) {
    if (value < 85) {
        state.ReversedOrder = false;
    } else if (value > 170) {
        state.ReversedOrder = true;
    }
}

int ChainEncode(State& state, int value, bool inverted) {
    const std::string p = Dec(value);
    std::string t(8, '0');
    auto combine = inverted ? Xnor : Xor;
    t[0] = combine(p[0], state.ChainBit);
    for (int i = 1; i < 8; ++i) {
        t[i] = combine(p[i], t[i - 1]);
    }
    state.ChainBit = t[7];
    const int r = state.ReversedOrder ? BinReversedToDec(t) : BinToDec(t);
    UpdateBitOrder(state, r);
    return r;
}

int ChainDecode(State& state, int value, bool inverted) {
    const std::string t = state.ReversedOrder ? DecRev(value) : Dec(value);
    UpdateBitOrder(state, value);
    std::string p(8, '0');
    auto combine = inverted ? Xnor : Xor;
    p[0] = combine(t[0], state.ChainBit);
    for (int i = 1; i < 8; ++i) {
        p[i] = combine(t[i], t[i - 1]);
    }
    state.ChainBit = t[7];
    return BinToDec(p);
}

void ClockRegisters(State& state) {
    Clock(state.Register8, {8, 5, 3, 1});
    Clock(state.Register11, {11, 2});
    Clock(state.Register236, {236, 5});
    if (!state.Swift) {
        Clock(state.Register999, {999, 59});
    }
}

int ApplyKeystream(State& state, int value) {
    std::string bits = Dec(value);
    for (int i = 0; i < 8; ++i) {
        ClockRegisters(state);
        bits[i] = Xor(bits[i], state.Register8[0]);
        bits[i] = Xor(bits[i], state.Register11[0]);
        bits[i] = Xor(bits[i], state.Register236[0]);
        if (!state.Swift) {
            bits[i] = Xor(bits[i], state.Register999[0]);
        }
    }
    return BinToDec(bits);
}

void ComputeKeyByte(State& state) {
    const auto& a = state.KeyRemaindersCopy;
    const auto& b = state.MaskedKeyReversed;
    const auto& c = state.KeyReversed;
    const auto& d = state.KeyRemainders;
    const int s1 = state.ShortIndex1;
    const int s2 = state.ShortIndex2;
    const int l1 = state.LongIndex1;
    const int l2 = state.LongIndex2;
    state.MixA = a[s1] ^ a[33] ^ a[s2] ^ a[((s1 + s2) % 32) + 1];
    state.MixC = c[l1] ^ c[255] ^ c[l2] ^ c[((l2 + l1) % 254) + 1];
    int m = state.MixA ^ state.MixC;
    if (state.Register8[7] == '0') {
        m = 255 - m;
    }
    state.MixD = d[s1] ^ d[33] ^ d[s2];
    state.MixB = b[l1] ^ b[255] ^ b[l2];
    state.KeyByte = state.MixB ^ m;
}

void Feedback(State& state, int f) {
    state.MixB = state.MixB ^ state.MixD;
    state.MixD = state.MixD ^ f;
    Rotate(state.KeyReversed, 255, state.MixC);
    Rotate(state.MaskedKeyReversed, 255, state.MixB);
    Rotate(state.KeyRemaindersCopy, 33, state.MixA);
    Rotate(state.KeyRemainders, 33, state.MixD);
}

int EncryptStep(State& state, int x) {
    ComputeKeyByte(state);
    const int y = ApplyKeystream(state, state.KeyByte ^ x);
    const int out = ChainEncode(state, y, !state.Swift);
    Feedback(state, x);
    return out;
}

int DecryptStep(State& state, int c, bool keystreamOn) {
    ComputeKeyByte(state);
    const int z = ChainDecode(state, c, !state.Swift);
    const int k = keystreamOn ? ApplyKeystream(state, state.KeyByte) : state.KeyByte;
    return z ^ k;
}

State PreparedPass(const Bytes& key, int extension, bool swift) {
    State state;
    state.Swift = swift;
    SetPassKey(state, key, extension);
    state.ChainBit = '0';
    ExpandPassKey(state);
    PreparePassTables(state);
    PassSetup(state);
    return state;
}

Bytes EncryptPass(const Bytes& key, int extension, bool swift, const Bytes& input, int n) {
    State state = PreparedPass(key, extension, swift);
    Bytes out;
    for (int i = 1; i <= n; ++i) {
        out.push_back(static_cast<std::uint8_t>(EncryptStep(state, state.ExpandedKey[i])));
    }
    for (const auto x : input) {
        out.push_back(static_cast<std::uint8_t>(EncryptStep(state, x)));
    }
    return out;
}

DecryptResult DecryptPass(const Bytes& key, int extension, bool swift, const Bytes& input) {
    State state = PreparedPass(key, extension, swift);
    DecryptResult result;
    bool headerPending = true;
    bool keystreamOn = true;
    std::size_t offset = 0;
    while (offset < input.size()) {
        const std::size_t blockCount = std::min<std::size_t>(4096, input.size() - offset);
        std::vector<int> outBuffer(4097, 0);
        int headerSkipped = 0;
        for (std::size_t position = 1; position <= blockCount; ++position) {
            const int x = input[offset + position - 1];
            int y = DecryptStep(state, x, keystreamOn);
            const auto place = static_cast<int>(position) - headerSkipped;
            if (headerPending) {
                if (position <= 256 && y == state.ExpandedKey[position]) {
                    headerSkipped += 1;
                } else {
                    headerPending = false;
                    if (headerSkipped >= 13) {
                        outBuffer[static_cast<std::size_t>(place)] = y;
                    } else {
                        keystreamOn = false;
                        result.headerMatched = false;
                    }
                }
            } else {
                outBuffer[static_cast<std::size_t>(place)] = y;
            }
            const int f = headerPending
                              ? state.ExpandedKey[position]
                              : outBuffer[static_cast<std::size_t>(position) - headerSkipped];
            Feedback(state, f);
        }
        for (std::size_t i = 1; i + headerSkipped <= blockCount; ++i) {
            result.output.push_back(static_cast<std::uint8_t>(outBuffer[i]));
        }
        offset += blockCount;
    }
    return result;
}

namespace {

std::vector<Bytes> KeyFileBlocks(const Bytes& keyFile) {
    std::vector<Bytes> blocks;
    for (std::size_t start = 0; start < keyFile.size(); start += 256) {
        const std::size_t end = std::min(keyFile.size(), start + 256);
        blocks.emplace_back(keyFile.begin() + static_cast<std::ptrdiff_t>(start),
                            keyFile.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return blocks;
}

}  // namespace

Bytes EncryptJob(const Bytes& key, int extension, bool swift, const Bytes& keyFile,
                 const Bytes& input, const std::vector<int>& headerLengths) {
    Bytes data = EncryptPass(key, extension, swift, input, headerLengths.at(0));
    std::size_t pass = 1;
    for (const auto& block : KeyFileBlocks(keyFile)) {
        data = EncryptPass(block, extension, swift, data, headerLengths.at(pass++));
    }
    return data;
}

Bytes DecryptJob(const Bytes& key, int extension, bool swift, const Bytes& keyFile,
                 const Bytes& input) {
    Bytes data = input;
    const auto blocks = KeyFileBlocks(keyFile);
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        data = DecryptPass(*block, extension, swift, data).output;
    }
    return DecryptPass(key, extension, swift, data).output;
}

}  // namespace velkor::literal
