#include "KeyMaterial.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace velkor {

namespace {

constexpr int C1 = 0x2A260D53;
constexpr int C2 = 0x808075;
constexpr int C3 = 0x7FFFFFFF;
constexpr int C4 = 0x759AED66;
constexpr int C5 = 0xA651299;

constexpr int kBitCount = 2048;
constexpr int kFarTap = 255;
constexpr int kNearTap = 56;

// Eight cells of 0 or 1 (as the bytes of a word, lowest first) as the bits of
// a byte: the lowest cell the lowest bit, or the highest bit.
int PackedLowFirst(std::uint64_t cells) {
    return static_cast<int>((cells * 0x0102040810204080U) >> 56);
}
int PackedHighFirst(std::uint64_t cells) {
    return static_cast<int>((cells * 0x8040201008040201U) >> 56);
}

// The 2048-cell register of the expansion, oldest cell first, with room to
// shift in up to 2047 cells before it is moved back to the front.
struct BitRegister {
    std::array<std::uint8_t, std::size_t{2} * kBitCount> cells{};
    int start = 0;

    // Shifts in `steps` cells, each the xor of cells 255 and 56. The nearest
    // tap is 56 cells back, so 56 new cells depend only on older ones and go
    // in as words.
    void Advance(int steps) {
        std::uint8_t* next = cells.data() + start + kBitCount;
        int i = 0;
        for (; i + kNearTap <= steps; i += kNearTap) {
            for (int word = 0; word < kNearTap; word += 8) {
                std::uint64_t far = 0;
                std::uint64_t near = 0;
                std::memcpy(&far, next + i + word - kFarTap, sizeof far);
                std::memcpy(&near, next + i + word - kNearTap, sizeof near);
                far ^= near;
                std::memcpy(next + i + word, &far, sizeof far);
            }
        }
        for (; i < steps; ++i) {
            next[i] = next[i - kFarTap] ^ next[i - kNearTap];
        }
        start += steps;
    }
    // Eight cells from index on, the first in the lowest byte; cell p (1 = the
    // front, where new cells enter) is at start + 2048 - p.
    std::uint64_t Word(int index) const {
        std::uint64_t word = 0;
        std::memcpy(&word, cells.data() + index, sizeof word);
        return word;
    }
    void Compact() {
        std::memmove(cells.data(), cells.data() + start, kBitCount);
        start = 0;
    }
};

// Cell m of the masking register (15 cells of 0 or 255, all 255 at first):
// the cell shifted in by step m is the xor of the cells 15 and 14 steps back.
const std::vector<std::uint8_t>& MaskStream() {
    static const std::vector<std::uint8_t> stream = [] {
        constexpr int kLength = 32768 + 256 + 16;
        std::vector<std::uint8_t> bits(kLength + 15, 1);
        // bits[m + 15] is cell m; cells up to 0 are the initial ones.
        for (int m = 1; m < kLength; ++m) {
            bits[m + 15] = bits[m] ^ bits[m + 1];
        }
        return bits;
    }();
    return stream;
}

}  // namespace

void CaptureJobSettings(JobState& state, const CompileSettings& settings) {
    state.PassKeyLength = 0;
    state.SourceFileName = settings.SourceFileName;
    state.DrainFileName = settings.DrainFileName;
    state.EncryptMode = settings.EncryptMode;
    state.Swift = settings.Swift;
    for (const std::uint8_t byte : settings.Key) {
        if (state.PassKeyLength == 128) {
            break;
        }
        state.PassKey[state.PassKeyLength++] = byte;
    }
    state.MainKeyLength = state.PassKeyLength;
    state.MainKey = state.PassKey;
    state.PassKeyExtension = settings.KeyExtension;
    state.MainKeyExtension = state.PassKeyExtension;
    state.KeyFileName = settings.KeyFileName;
    state.HasKeyFile = !state.KeyFileName.empty();
}

int ExpandPassKey(JobState& state) {
    std::array<int, 256> scratch{};
    BitRegister bits;
    const int length = state.PassKeyLength;
    auto& key = state.PassKey;

    int sum = 0;
    int prev = 0;
    for (int i = 1; i <= length; ++i) {
        const int v = key[i - 1];
        sum += v;
        const int s = v << (i % 11);
        const int t = (i % 11 == 0 || s == 0 || s == prev) ? std::abs(((~v) * 257 + i) ^ (prev + i))
                                                           : (i + s) ^ v;
        prev = s;
        scratch[i - 1] = t & 255;
    }

    std::array<std::uint8_t, kBitCount> produced{};
    for (int j = 1; j <= 256; ++j) {
        const int r = ((sum + j) ^ C1) % 23;
        prev = (sum ^ C1) % C2;
        const int b = j <= length ? scratch[j - 1] : key[j - length - 1];
        sum = (prev > 0 && prev % 2 == 1 && r % 2 == 1) ? (b * prev) % C3 : (b << r) % C3;
        int mix = sum < C4 ? (sum + C5) / j : sum >> ((j + r) % 16);
        if (j <= length) {
            const int other = (j % 2 == 1 && mix % 2 == 1) ? prev : sum;
            key[j - 1] = static_cast<std::uint8_t>((scratch[j - 1] ^ mix ^ other) & 255);
        } else {
            mix &= 255;
            key[j - 1] = static_cast<std::uint8_t>((key[j - length - 1] * mix + C1) % 256);
        }
        for (int bit = 0; bit < 8; ++bit) {
            produced[(j - 1) * 8 + bit] = static_cast<std::uint8_t>((mix >> bit) & 1);
        }
    }
    // produced[p - 1] is cell p of the register.
    for (int p = 1; p <= kBitCount; ++p) {
        bits.cells[kBitCount - p] = produced[p - 1];
    }

    int cycles = 0;
    while (true) {
        ++cycles;
        bits.Advance(sum & 2047);
        bits.Compact();
        for (int n = 1; n <= 256; ++n) {
            // Cells 8n - 7 to 8n, the first of them the last in memory; and
            // without swift, xored with their mirror cells 2049 - p, in order.
            const std::uint64_t cells = bits.Word(kBitCount - 8 * n);
            const std::uint64_t mirror = state.Swift ? 0 : bits.Word(8 * (n - 1));
            // Without swift each cell goes in front of the chunk, which reverses it.
            const bool reversedRead = (key[n - 1] + n) % 2 == 1;
            const int value = reversedRead != state.Swift
                                  ? PackedLowFirst(cells) ^ PackedHighFirst(mirror)
                                  : PackedHighFirst(cells) ^ PackedLowFirst(mirror);
            key[n - 1] = static_cast<std::uint8_t>((value * key[n - 1] + C1) % 256);
        }
        const bool lastCycle = (sum & 0x10000) != 0;
        sum = ((key[0] * C2) ^ C5) % C3;
        if (lastCycle) {
            break;
        }
    }
    state.PassKeyLength = 256;
    state.ExpandedKey = key;
    return cycles;
}

PassPreparation PreparePassTables(JobState& state) {
    const int length = state.PassKeyLength;
    const int e = state.PassKeyExtension;
    auto& key = state.PassKey;
    int keySum = 0;
    int steps = e;

    state.Register11.fill(1);
    state.Register236.fill(1);
    if (!state.Swift) {
        state.Register999.fill(1);
    } else {
        for (int i = 1; i <= length; ++i) {
            keySum += key[i - 1];
            steps += key[i - 1] == 0 ? 256 - i : keySum % (key[i - 1] + 1);
        }
    }
    if (keySum == 0) {
        keySum = 1;
    }
    steps = ((steps + keySum) % 32768) + 1;
    const int d = ((e == 0 ? length : e) * keySum) % 255 + 1;
    state.ReversedOrder = d <= 127;

    for (int i = 0; i < d; ++i) {
        const std::uint8_t in = state.Register11[10] ^ state.Register11[1];
        for (int cell = 10; cell >= 1; --cell) {
            state.Register11[cell] = state.Register11[cell - 1];
        }
        state.Register11[0] = in;
    }
    int reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        state.Register8[bit] = static_cast<std::uint8_t>((d >> (7 - bit)) & 1);
        reversed |= ((d >> (7 - bit)) & 1) << bit;
    }
    state.PassKeyExtension = static_cast<std::uint8_t>(255 - reversed);

    for (int i = 0; i < 33; ++i) {
        state.KeyRemainders[i] = static_cast<std::uint8_t>(keySum % (key[i] + 1));
    }
    state.KeyRemaindersCopy = state.KeyRemainders;
    for (int i = 1; i <= 255; ++i) {
        state.KeyReversed[i - 1] = key[256 - i];
    }
    const auto& mask = MaskStream();
    for (int i = 1; i <= length; ++i) {
        if (mask[steps + i - 1 + 15] != 0) {
            key[i - 1] = static_cast<std::uint8_t>(key[i - 1] ^ 255);
        }
    }
    for (int i = 1; i <= 255; ++i) {
        state.MaskedKeyReversed[i - 1] = key[256 - i];
    }
    return PassPreparation{keySum, steps, d};
}

}  // namespace velkor
