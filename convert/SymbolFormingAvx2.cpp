// Built for AVX2 alone; runs only after the processor said it has it.
#include <immintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "GroupText.h"
#include "SymbolForming.h"

namespace velkor::groups {
namespace {

// Eight bytes give sixteen candidate symbols, each byte's digit and letter in
// turn; bit k of a mask keeps the digit of byte k. The shuffle that packs the
// symbols kept to the front, and how many they are.
struct Packing {
    std::array<std::array<std::uint8_t, 16>, 256> shuffle{};
    std::array<std::uint8_t, 256> length{};
};

constexpr Packing MakePacking() {
    Packing packing;
    for (int mask = 0; mask < 256; ++mask) {
        int length = 0;
        for (int k = 0; k < 8; ++k) {
            if ((mask >> k & 1) != 0) {
                packing.shuffle[mask][length++] = static_cast<std::uint8_t>(2 * k);
            }
            packing.shuffle[mask][length++] = static_cast<std::uint8_t>(2 * k + 1);
        }
        for (int rest = length; rest < 16; ++rest) {
            packing.shuffle[mask][rest] = 0x80;
        }
        packing.length[mask] = static_cast<std::uint8_t>(length);
    }
    return packing;
}

constexpr Packing kPacking = MakePacking();

// 26 times a digit, looked up by the digit in either lane.
constexpr std::array<std::uint8_t, 32> MakeMultiplesOf26() {
    std::array<std::uint8_t, 32> multiples{};
    for (std::size_t i = 0; i < multiples.size(); ++i) {
        multiples[i] = static_cast<std::uint8_t>(i % 16 < 10 ? 26 * (i % 16) : 0);
    }
    return multiples;
}

constexpr auto kMultiplesOf26 = MakeMultiplesOf26();

// byte / 26 for every byte: (byte x 2521) >> 16 in 16-bit lanes.
__m256i Digits(__m256i bytes) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i factor = _mm256_set1_epi16(2521);
    const __m256i low = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(bytes, zero), factor);
    const __m256i high = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(bytes, zero), factor);
    return _mm256_packus_epi16(low, high);
}

// Packs the symbols of eight bytes to `out`; returns the end.
char* Pack(__m128i candidates, unsigned keep, char* out) {
    __m128i order;
    std::memcpy(&order, kPacking.shuffle[keep].data(), sizeof(order));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(candidates, order));
    return out + static_cast<std::ptrdiff_t>(kPacking.length[keep]);
}

}  // namespace

char* FormSymbolsAvx2(char& range, std::span<const unsigned char> block, char* out) {
    __m256i multiplesOf26;
    std::memcpy(&multiplesOf26, kMultiplesOf26.data(), sizeof(multiplesOf26));
    // The digit before the first byte, in the last byte of a vector.
    __m256i before = _mm256_set1_epi8(static_cast<char>(range - '0'));
    std::size_t at = 0;
    for (; at + 32 <= block.size(); at += 32) {
        const __m256i bytes =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block.data() + at));
        const __m256i digits = Digits(bytes);
        const __m256i letters = _mm256_sub_epi8(bytes, _mm256_shuffle_epi8(multiplesOf26, digits));
        // Each byte's digit and the one before it, across the two lanes.
        const __m256i previous =
            _mm256_alignr_epi8(digits, _mm256_permute2x128_si256(before, digits, 0x21), 15);
        const auto keep =
            ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(digits, previous)));
        before = digits;
        const __m256i digitSymbols = _mm256_add_epi8(digits, _mm256_set1_epi8('0'));
        const __m256i letterSymbols = _mm256_add_epi8(letters, _mm256_set1_epi8('A'));
        // Bytes 0 to 7 and 16 to 23, then 8 to 15 and 24 to 31: unpacking
        // stays within lanes.
        const __m256i first = _mm256_unpacklo_epi8(digitSymbols, letterSymbols);
        const __m256i second = _mm256_unpackhi_epi8(digitSymbols, letterSymbols);
        out = Pack(_mm256_castsi256_si128(first), keep & 0xFF, out);
        out = Pack(_mm256_castsi256_si128(second), keep >> 8 & 0xFF, out);
        out = Pack(_mm256_extracti128_si256(first, 1), keep >> 16 & 0xFF, out);
        out = Pack(_mm256_extracti128_si256(second, 1), keep >> 24 & 0xFF, out);
    }
    if (at > 0) {
        range = kSymbols.digit[block[at - 1]];
    }
    return FormSymbolsByteByByte(range, block.subspan(at), out);
}

}  // namespace velkor::groups
