// The vector loops, included by one source file per vector width; that file
// defines kWidth first and is compiled for the matching instruction set.
// Everything here has internal linkage so the widths never mix at link time.

#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

#include "BlockKernels.h"

namespace velkor::blocked {
namespace {

using Vec = std::uint8_t __attribute__((vector_size(kWidth)));
using SignedVec = std::int8_t __attribute__((vector_size(kWidth)));
using Words = std::uint32_t __attribute__((vector_size(kWidth)));
using Bits = std::uint64_t;  // one bit per byte of a vector

Vec Load(const std::uint8_t* p) {
    Vec v;
    std::memcpy(&v, p, kWidth);
    return v;
}

void Store(std::uint8_t* p, Vec v) {
    std::memcpy(p, &v, kWidth);
}

// A kernel works within one block; a ring repeats its first block after its
// end, so every stream of the block is a plain run of memory.

// The stream of `ring` `lag` positions behind, from t0 on.
const std::uint8_t* From(const Ring& ring, std::int64_t t0, std::int64_t lag) {
    return ring.data + ((t0 - lag) & ring.mask);
}

// Where a block's values go from t0 on, and their copy if they fall into the
// ring's first block.
struct Writer {
    std::uint8_t* at;
    std::uint8_t* copy;

    Writer(const Ring& ring, std::int64_t t0)
        : at(ring.data + (t0 & ring.mask)),
          copy((t0 & ring.mask) < ring.repeated ? at + ring.mask + 1 : nullptr) {}

    void Put(std::int64_t i, Vec v) const {
        Store(at + i, v);
        if (copy != nullptr) {
            Store(copy + i, v);
        }
    }
};

template <int kCount>
struct Lagged {
    std::array<const std::uint8_t*, kCount> from;

    Lagged(const Ring& ring, const Taps& taps, std::int64_t t0) {
        for (int k = 0; k < kCount; ++k) {
            from[static_cast<std::size_t>(k)] =
                From(ring, t0, taps.lag[static_cast<std::size_t>(k)]);
        }
    }

    // The xor of the values at every lag, i bytes into the block.
    [[gnu::always_inline]] Vec Xor(std::int64_t i) const {
        Vec sum{};
#pragma GCC unroll 6
        for (int k = 0; k < kCount; ++k) {
            sum ^= Load(from[static_cast<std::size_t>(k)] + i);
        }
        return sum;
    }
};

// A load at a lag that is not a whole number of vectors straddles two cache
// lines. With AVX-512 VBMI one aligned load a step and a byte permute of it
// and the one before do, as long as every line read was written before the
// loop: a filter's input, never a recurrence's own ring. The aligned loads
// run up to a vector past the last byte used.
constexpr std::array<std::uint8_t, kWidth> ByteIndexes() {
    std::array<std::uint8_t, kWidth> indexes{};
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        indexes[i] = static_cast<std::uint8_t>(i);
    }
    return indexes;
}
constexpr auto kByteIndexes = ByteIndexes();

// V is Vec, a parameter only so that the 512-bit casts wait for a width that
// has them.
template <int kCount, typename V = Vec>
struct AlignedLagged {
    std::array<const std::uint8_t*, kCount> line;
    std::array<V, kCount> index;
    std::array<V, kCount> before;

    AlignedLagged(const Ring& ring, const Taps& taps, std::int64_t t0) {
        for (std::size_t k = 0; k < kCount; ++k) {
            const std::uint8_t* from = From(ring, t0, taps.lag[k]);
            const auto offset = reinterpret_cast<std::uintptr_t>(from) % kWidth;
            line[k] = from - offset;
            index[k] = Load(kByteIndexes.data()) + static_cast<std::uint8_t>(offset);
            before[k] = Load(line[k]);
        }
    }

    [[gnu::always_inline]] V Xor(std::int64_t i) {
        V sum{};
#pragma GCC unroll 6
        for (std::size_t k = 0; k < kCount; ++k) {
            const V after = Load(line[k] + i + kWidth);
            sum ^= reinterpret_cast<V>(_mm512_permutex2var_epi8(
                reinterpret_cast<__m512i>(before[k]), reinterpret_cast<__m512i>(index[k]),
                reinterpret_cast<__m512i>(after)));
            before[k] = after;
        }
        return sum;
    }
};

// A template, so that only the width's own intrinsic is compiled.
template <typename V>
Bits MoveMask(V v) {
    if constexpr (sizeof(V) == 16) {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(v)));
    } else if constexpr (sizeof(V) == 32) {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(reinterpret_cast<__m256i>(v)));
    } else {
        return _mm512_movepi8_mask(reinterpret_cast<__m512i>(v));
    }
}

constexpr std::array<std::uint8_t, kWidth> BitOfByte() {
    std::array<std::uint8_t, kWidth> select{};
    for (std::size_t i = 0; i < select.size(); ++i) {
        select[i] = static_cast<std::uint8_t>(1U << (i % 8));
    }
    return select;
}
constexpr auto kBitOfByte = BitOfByte();

// Which byte of the bits each byte of a 32-byte vector takes.
constexpr std::array<std::uint8_t, 32> kByteOfBit{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1,
                                                  2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3};

// 0xFF in every byte whose bit is set: byte i of the vector takes byte i / 8
// of the bits, then keeps its own bit.
template <typename V>
[[gnu::always_inline]] inline V Expand(Bits bits) {
    if constexpr (sizeof(V) == 64) {
        return reinterpret_cast<V>(_mm512_movm_epi8(bits));
    } else {
        V bytes;
        if constexpr (sizeof(V) == 16) {
            // Unpacking a register with itself doubles each byte: three times.
            __m128i doubled = _mm_cvtsi32_si128(static_cast<int>(bits));
            doubled = _mm_unpacklo_epi8(doubled, doubled);
            doubled = _mm_unpacklo_epi16(doubled, doubled);
            bytes = reinterpret_cast<V>(_mm_unpacklo_epi32(doubled, doubled));
        } else {
            // Every lane holds all four bytes, so a shuffle within lanes will do.
            const auto spread = reinterpret_cast<V>(Words{} + static_cast<std::uint32_t>(bits));
            V indexes;
            std::memcpy(&indexes, kByteOfBit.data(), sizeof(V));
            bytes = reinterpret_cast<V>(_mm256_shuffle_epi8(reinterpret_cast<__m256i>(spread),
                                                            reinterpret_cast<__m256i>(indexes)));
        }
        const V select = Load(kBitOfByte.data());
        return reinterpret_cast<V>((bytes & select) == select);
    }
}

// Bytes above `limit`; SSE2 and AVX2 compare signed bytes only, so they
// compare with the sign bit flipped.
template <typename V>
[[gnu::always_inline]] inline Bits Above(V v, int limit) {
    if constexpr (sizeof(V) == 64) {
        return _mm512_cmpgt_epu8_mask(reinterpret_cast<__m512i>(v),
                                      _mm512_set1_epi8(static_cast<char>(limit)));
    } else {
        const auto flipped = reinterpret_cast<SignedVec>(v ^ 0x80);
        return MoveMask(flipped > static_cast<std::int8_t>(limit - 128));
    }
}

// Bytes of `ifSet` where `select` is 0xFF, else of `ifClear`.
template <typename V>
[[gnu::always_inline]] inline V Select(V select, V ifSet, V ifClear) {
    if constexpr (sizeof(V) == 32) {
        return reinterpret_cast<V>(_mm256_blendv_epi8(reinterpret_cast<__m256i>(ifClear),
                                                      reinterpret_cast<__m256i>(ifSet),
                                                      reinterpret_cast<__m256i>(select)));
    } else {
        return (ifSet & select) | (ifClear & ~select);
    }
}

// Bytes of `ifSet` where their bit is set, else of `ifClear`.
template <typename V>
[[gnu::always_inline]] inline V Choose(Bits bits, V ifSet, V ifClear) {
    if constexpr (sizeof(V) == 64) {
        return reinterpret_cast<V>(_mm512_mask_blend_epi8(bits, reinterpret_cast<__m512i>(ifClear),
                                                          reinterpret_cast<__m512i>(ifSet)));
    } else {
        return Select(Expand<V>(bits), ifSet, ifClear);
    }
}

// Expand for each of kVectors vectors, vector j from bit j x kWidth on; a pair
// of 32-byte vectors shares one broadcast of all 64 bits, of which vector j
// takes bytes 4j to 4j + 3.
template <int kVectors, typename V = Vec>
[[gnu::always_inline]] inline std::array<V, kVectors> ExpandEach(Bits bits) {
    std::array<V, kVectors> bytes;
    if constexpr (sizeof(V) == 32 && kVectors == 2) {
        using Quads = std::uint64_t __attribute__((vector_size(32)));
        const auto spread = reinterpret_cast<__m256i>(Quads{} + bits);
        const V select = Load(kBitOfByte.data());
        for (std::size_t j = 0; j < 2; ++j) {
            const V indexes = Load(kByteOfBit.data()) + static_cast<std::uint8_t>(4 * j);
            const auto picked = reinterpret_cast<V>(
                _mm256_shuffle_epi8(spread, reinterpret_cast<__m256i>(indexes)));
            bytes[j] = reinterpret_cast<V>((picked & select) == select);
        }
    } else {
        for (std::size_t j = 0; j < kVectors; ++j) {
            bytes[j] = Expand<V>(bits >> (j * kWidth));
        }
    }
    return bytes;
}

// Choose for each of kVectors vectors.
template <int kVectors>
[[gnu::always_inline]] inline std::array<Vec, kVectors> ChooseEach(
    Bits bits, const std::array<Vec, kVectors>& ifSet, const std::array<Vec, kVectors>& ifClear) {
    std::array<Vec, kVectors> chosen;
    if constexpr (kWidth == 64) {
        chosen[0] = Choose(bits, ifSet[0], ifClear[0]);
    } else {
        const auto select = ExpandEach<kVectors>(bits);
        for (std::size_t j = 0; j < kVectors; ++j) {
            chosen[j] = Select(select[j], ifSet[j], ifClear[j]);
        }
    }
    return chosen;
}

// A table of 16 entries for each of a byte's two nibbles, repeated in every
// 16-byte lane of a vector.
using NibbleTables = std::array<std::array<std::uint8_t, kWidth>, 2>;

constexpr std::uint8_t ReverseByte(std::uint8_t v) {
    int reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        reversed |= ((v >> bit) & 1) << (7 - bit);
    }
    return static_cast<std::uint8_t>(reversed);
}

// Each bit xor every bit before it, most significant first.
constexpr std::uint8_t PrefixByte(std::uint8_t v) {
    v = static_cast<std::uint8_t>(v ^ (v >> 1));
    v = static_cast<std::uint8_t>(v ^ (v >> 2));
    return static_cast<std::uint8_t>(v ^ (v >> 4));
}

// Both functions are linear, so each is the xor of the values of the byte's
// two nibbles.
template <typename Function>
constexpr NibbleTables ByNibble(Function function) {
    NibbleTables tables{};
    for (std::size_t i = 0; i < tables[0].size(); ++i) {
        const auto n = static_cast<std::uint8_t>(i % 16);
        tables[0][i] = function(n);
        tables[1][i] = function(static_cast<std::uint8_t>(n << 4));
    }
    return tables;
}

constexpr auto kReverseTables = ByNibble(ReverseByte);
constexpr auto kPrefixTables = ByNibble(PrefixByte);
constexpr auto kReversedPrefixTables =
    ByNibble([](std::uint8_t v) { return ReverseByte(PrefixByte(v)); });

// A linear function of a byte as the 8 x 8 bit matrix of a GFNI affine
// transform: the row of result bit i is byte 7 - i.
template <typename Function>
constexpr std::uint64_t BitMatrix(Function function) {
    std::uint64_t matrix = 0;
    for (int bit = 0; bit < 8; ++bit) {
        for (int from = 0; from < 8; ++from) {
            if (((function(static_cast<std::uint8_t>(1U << from)) >> bit) & 1) != 0) {
                matrix |= std::uint64_t{1} << (8 * (7 - bit) + from);
            }
        }
    }
    return matrix;
}

constexpr auto kReverseMatrix = BitMatrix(ReverseByte);
constexpr auto kPrefixMatrix = BitMatrix(PrefixByte);
constexpr auto kReversedPrefixMatrix =
    BitMatrix([](std::uint8_t v) { return ReverseByte(PrefixByte(v)); });

template <typename V>
[[gnu::always_inline]] inline V Affine(V v, std::uint64_t matrix) {
    return reinterpret_cast<V>(_mm512_gf2p8affine_epi64_epi8(
        reinterpret_cast<__m512i>(v), _mm512_set1_epi64(static_cast<long long>(matrix)), 0));
}

// GFNI applies a bit matrix to every byte; with AVX2 a byte shuffle looks up both nibbles; SSE2 has
// no byte shuffle and computes the function by shifts.
template <typename V>
[[gnu::always_inline]] inline V ByNibbles(const NibbleTables& tables, V low, V high) {
    const auto table = [](const auto& entries) {
        return reinterpret_cast<__m256i>(Load(entries.data()));
    };
    return reinterpret_cast<V>(
        _mm256_shuffle_epi8(table(tables[0]), reinterpret_cast<__m256i>(low)) ^
        _mm256_shuffle_epi8(table(tables[1]), reinterpret_cast<__m256i>(high)));
}

template <typename V>
[[gnu::always_inline]] inline V Reverse(V v) {
    if constexpr (sizeof(V) == 64) {
        return Affine(v, kReverseMatrix);
    } else if constexpr (sizeof(V) == 32) {
        return ByNibbles(kReverseTables, v & 0x0F, v >> 4);
    } else {
        v = (v >> 4) | (v << 4);
        v = ((v >> 2) & 0x33) | ((v << 2) & 0xCC);
        return ((v >> 1) & 0x55) | ((v << 1) & 0xAA);
    }
}

// The prefix xor within every byte, and the same reversed.
template <typename V>
[[gnu::always_inline]] inline void PrefixAndReversed(V v, V& prefix, V& reversed) {
    if constexpr (sizeof(V) == 64) {
        prefix = Affine(v, kPrefixMatrix);
        reversed = Affine(v, kReversedPrefixMatrix);
    } else if constexpr (sizeof(V) == 32) {
        const V low = v & 0x0F;
        const V high = v >> 4;
        prefix = ByNibbles(kPrefixTables, low, high);
        reversed = ByNibbles(kReversedPrefixTables, low, high);
    } else {
        v ^= v >> 1;
        v ^= v >> 2;
        prefix = v ^ (v >> 4);
        reversed = Reverse(prefix);
    }
}

// The lowest bit of every byte.
template <typename V>
[[gnu::always_inline]] inline Bits LowBits(V v) {
    if constexpr (sizeof(V) == 64) {
        return _mm512_test_epi8_mask(reinterpret_cast<__m512i>(v), _mm512_set1_epi8(1));
    } else {
        using Halves = std::uint16_t __attribute__((vector_size(kWidth)));
        return MoveMask(reinterpret_cast<Halves>(v) << 7);
    }
}

// The low kBits bits.
template <int kBits>
constexpr Bits kLowBits = ~Bits{0} >> (64 - kBits);

// A carry-less product with all ones where the processor has one.
template <int kBits = kWidth>
[[gnu::always_inline]] inline Bits PrefixXor(Bits x) {
    if constexpr (kWidth >= 32) {
        const __m128i product = _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(x)),
                                                     _mm_set1_epi32(-1), 0);
        return static_cast<Bits>(_mm_cvtsi128_si64(product)) & kLowBits<kBits>;
    } else {
#pragma GCC unroll 6
        for (int shift = 1; shift < kBits; shift *= 2) {
            x ^= x << shift;
        }
        return x & kLowBits<kBits>;
    }
}

// The bit-order flag after every byte when byte i maps the flag f to
// a_i ^ (b_i & f). Between two bytes that ignore the flag it toggles with a,
// so it is the prefix xor of a, restarted at each such byte; the restart value
// is carried forward by an addition. `flag` enters and leaves the kBits bytes.
template <int kBits = kWidth>
[[gnu::always_inline]] inline Bits ScanOrder(Bits a, Bits b, Bits& flag) {
    const Bits parity = PrefixXor<kBits>(a);
    const Bits set = ~b & (parity << 1) & kLowBits<kBits>;
    const Bits sum = (set | b) + set + flag;
    const Bits after = ((set | (b & ~sum)) ^ parity) & kLowBits<kBits>;
    flag = after >> (kBits - 1);
    return after;
}

// x = v ^ x half a vector back, both halves: the lower half of x from the
// vector before, the upper half from the lower. The 16-byte loops never meet
// such a tap.
template <typename V>
[[gnu::always_inline]] inline V AddHalfBack(V v, V before) {
    if constexpr (sizeof(V) == 64) {
        using Quads = std::uint64_t __attribute__((vector_size(64)));
        const auto b = reinterpret_cast<Quads>(before);
        const auto now = reinterpret_cast<Quads>(v);
        const Quads upperTwice = __builtin_shufflevector(b, b, 4, 5, 6, 7, 4, 5, 6, 7);
        const Quads lowerUp = __builtin_shufflevector(now, Quads{}, 8, 9, 10, 11, 0, 1, 2, 3);
        return reinterpret_cast<V>(now ^ upperTwice ^ lowerUp);
    } else if constexpr (sizeof(V) == 32) {
        using Quads = std::uint64_t __attribute__((vector_size(32)));
        const auto b = reinterpret_cast<Quads>(before);
        const auto now = reinterpret_cast<Quads>(v);
        const Quads upperTwice = __builtin_shufflevector(b, b, 2, 3, 2, 3);
        const Quads lowerUp = __builtin_shufflevector(now, Quads{}, 4, 5, 0, 1);
        return reinterpret_cast<V>(now ^ upperTwice ^ lowerUp);
    } else {
        return v;
    }
}

// The 32-byte vector half a vector later than `older`: its upper half, then
// the lower half of the vector after it.
template <typename V>
[[gnu::always_inline]] inline V HalfLater(V older, V newer) {
    if constexpr (sizeof(V) == 32) {
        using Quads = std::uint64_t __attribute__((vector_size(32)));
        return reinterpret_cast<V>(__builtin_shufflevector(
            reinterpret_cast<Quads>(older), reinterpret_cast<Quads>(newer), 2, 3, 4, 5));
    } else {
        return older;
    }
}

// A recurrence's step: the value of the lags in memory and the input, plus
// the taps a whole and half a vector back, and with kOddHalves in 32-byte
// vectors 3, 5 and 7 half vectors back. `before` holds the vectors made last,
// the latest first, so that no load waits for the stores just made.
template <bool kOddHalves = false>
struct NearTaps {
    static constexpr std::size_t kKept = kOddHalves ? 4 : 1;

    std::array<Vec, kKept> before;
    bool whole;
    bool half;
    int oddHalves;

    NearTaps(const Ring& x, const Taps& taps, std::int64_t t0)
        : whole(taps.wholeVector),
          half(kWidth >= 32 && taps.halfVector),
          oddHalves(taps.oddHalves) {
        for (std::size_t k = 0; k < kKept; ++k) {
            before[k] = Load(From(x, t0, kWidth * static_cast<std::int64_t>(k + 1)));
        }
    }

    [[gnu::always_inline]] Vec Add(Vec v) {
        if (whole) {
            v ^= before[0];
        }
        if constexpr (kOddHalves) {
#pragma GCC unroll 3
            for (std::size_t k = 0; k < 3; ++k) {
                if ((oddHalves & (1 << k)) != 0) {
                    v ^= HalfLater(before[k + 1], before[k]);
                }
            }
        }
        if (half) {
            v = AddHalfBack(v, before[0]);
        }
#pragma GCC unroll 3
        for (std::size_t k = kKept - 1; k > 0; --k) {
            before[k] = before[k - 1];
        }
        before[0] = v;
        return v;
    }
};

template <int kCount, bool kWithSelf>
void FilterWith(Ring out, Ring in, const Taps& taps, std::int64_t t0, std::int64_t t1) {
    std::conditional_t<kWidth == 64, AlignedLagged<kCount>, const Lagged<kCount>> lagged(in, taps,
                                                                                         t0);
    const std::uint8_t* self = From(in, t0, 0);
    const Writer writer(out, t0);
    for (std::int64_t i = 0; i < t1 - t0; i += kWidth) {
        Vec sum = lagged.Xor(i);
        if constexpr (kWithSelf) {
            sum ^= Load(self + i);
        }
        writer.Put(i, sum);
    }
}

// The input of a recurrence fed by a pipe: the pipe's output, or in 32-byte
// vectors the sum of the pipe's last filter stage, which then goes to the
// recurrence in a register rather than through memory; kCount lags, none for
// the output.
template <int kCount>
struct PipeTail {
    Lagged<kCount> lagged;
    const std::uint8_t* self;

    PipeTail(const Ring& ring, const Taps& taps, std::int64_t t0)
        : lagged(ring, taps, t0), self(From(ring, t0, 0)) {}

    [[gnu::always_inline]] Vec Xor(std::int64_t i) const { return lagged.Xor(i) ^ Load(self + i); }
};

// A recurrence without input.
struct NoInput {
    [[gnu::always_inline]] static Vec Xor(std::int64_t /*i*/) { return Vec{}; }
};

// The lags of a recurrence reach at least a vector back, so every value read
// was written before.
template <int kCount, bool kOddHalves, typename Input>
void RecurWith(Ring x, const Input& input, const Taps& taps, std::int64_t t0, std::int64_t t1) {
    const Lagged<kCount> lagged(x, taps, t0);
    NearTaps<kOddHalves> near(x, taps, t0);
    const Writer writer(x, t0);
    for (std::int64_t i = 0; i < t1 - t0; i += kWidth) {
        writer.Put(i, near.Add(lagged.Xor(i) ^ input.Xor(i)));
    }
}

// Calls `body` with the number of lags, 1 to kMax, as a constant.
template <int kMax, typename Body>
[[gnu::always_inline]] inline void ByCount(int count, Body body) {
    if (count == kMax) {
        body(std::integral_constant<int, kMax>{});
    } else if constexpr (kMax > 1) {
        ByCount<kMax - 1>(count, body);
    }
}

// Calls `body` with whether the taps have odd numbers of half vectors, which
// only 32-byte vectors take from registers, as a constant.
template <typename Body>
[[gnu::always_inline]] inline void ByOddHalves(const Taps& taps, Body body) {
    if (kWidth == 32 && taps.oddHalves != 0) {
        body(std::bool_constant<kWidth == 32>{});
    } else {
        body(std::false_type{});
    }
}

// Filter stages the loops leave to the recurrence.
constexpr int kStagesInRecurrence = kWidth == 32 ? 1 : 0;

// Calls `body` with the number of lags of the pipe's tail as a constant, its
// ring and its lags.
template <int kMax, typename Body>
[[gnu::always_inline]] inline void ByPipeTail(const Pipe& pipe, Body body) {
    if constexpr (kStagesInRecurrence > 0) {
        if (pipe.stages > 0) {
            const auto last = static_cast<std::size_t>(pipe.stages - 1);
            ByCount<kMax>(pipe.taps[last].count,
                          [&](auto count) { body(count, pipe.stage[last], pipe.taps[last]); });
            return;
        }
    }
    body(std::integral_constant<int, 0>{}, pipe.Output(), pipe.squared);
}

void Filter(Ring out, Ring in, const Taps& taps, bool withSelf, std::int64_t t0, std::int64_t t1) {
    ByCount<6>(taps.count, [&](auto count) {
        if (withSelf) {
            FilterWith<count(), true>(out, in, taps, t0, t1);
        } else {
            FilterWith<count(), false>(out, in, taps, t0, t1);
        }
    });
}

template <typename Input>
void RecurWithInput(Ring x, const Input& input, const Taps& taps, std::int64_t t0,
                    std::int64_t t1) {
    ByCount<6>(taps.count, [&](auto count) {
        ByOddHalves(taps, [&](auto odd) { RecurWith<count(), odd()>(x, input, taps, t0, t1); });
    });
}

void Recur(Ring x, const Taps& taps, std::int64_t t0, std::int64_t t1) {
    RecurWithInput(x, NoInput{}, taps, t0, t1);
}

// The recurrence with the lags of the pipe squared, fed by the pipe.
void RecurFromPipe(Ring x, const Pipe& pipe, std::int64_t t0, std::int64_t t1) {
    ByPipeTail<6>(pipe, [&](auto tail, const Ring& ring, const Taps& tailTaps) {
        RecurWithInput(x, PipeTail<tail()>(ring, tailTaps, t0), pipe.squared, t0, t1);
    });
}

void CopyIn(Ring out, const std::uint8_t* in, std::int64_t t0, std::int64_t t1) {
    const Writer writer(out, t0);
    for (std::int64_t i = 0; i < t1 - t0; i += kWidth) {
        writer.Put(i, Load(in + i));
    }
}

// Register8's eighth cell before byte t led the register's byte t - 1; a
// clear cell complements the key mix.
[[gnu::always_inline]] inline Vec Complement(Vec register8Before) {
    return ~reinterpret_cast<Vec>(reinterpret_cast<SignedVec>(register8Before) < SignedVec{});
}

// The vector one byte earlier: the last byte of `before`, then `now`.
template <typename V>
[[gnu::always_inline]] inline V OneByteBack(V before, V now) {
    if constexpr (sizeof(V) == 16) {
        return __builtin_shufflevector(before, now, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
                                       27, 28, 29, 30);
    } else if constexpr (sizeof(V) == 64) {
        // Each 16-byte lane after the one before it, then one byte of that.
        using Quads = std::uint64_t __attribute__((vector_size(64)));
        const auto lanesBack = reinterpret_cast<__m512i>(
            __builtin_shufflevector(reinterpret_cast<Quads>(before), reinterpret_cast<Quads>(now),
                                    6, 7, 8, 9, 10, 11, 12, 13));
        return reinterpret_cast<V>(
            _mm512_alignr_epi8(reinterpret_cast<__m512i>(now), lanesBack, 15));
    } else {
        return __builtin_shufflevector(before, now, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42,
                                       43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57,
                                       58, 59, 60, 61, 62);
    }
}

void CombineKey(const KeySources& s, std::uint8_t* key, std::int64_t t0, std::int64_t t1) {
    std::array<const std::uint8_t*, 6> sources{From(s.a, t0, 0),
                                               From(s.c, t0, 0),
                                               From(s.registers[0], t0, 0),
                                               From(s.registers[1], t0, 0),
                                               From(s.registers[2], t0, 0),
                                               From(s.registers[3], t0, 0)};
    const std::uint8_t* register8Before = From(s.registers[0], t0, 1);
    for (std::int64_t i = 0; i < t1 - t0; i += kWidth) {
        Vec k = Complement(Load(register8Before + i));
        for (std::size_t r = 0; r < (s.withRegister999 ? 6U : 5U); ++r) {
            k ^= Load(sources[r] + i);
        }
        Store(key + i, k);
    }
}

// Three loops, each on few rings, so that their addresses stay in registers;
// each adds its sources to the key bytes.
void ProduceKey(const KeySources& s, std::uint8_t* key, std::int64_t t0, std::int64_t t1) {
    const std::int64_t length = t1 - t0;
    ByCount<4>(s.aTaps.count, [&](auto count) {
        const Lagged<count()> a(s.a, s.aTaps, t0);
        NearTaps nearA(s.a, s.aTaps, t0);
        const Lagged<1> register8(s.registers[0], s.registerTaps[0], t0);
        const Writer toA(s.a, t0);
        const Writer to8(s.registers[0], t0);
        Vec register8Before = Load(From(s.registers[0], t0, kWidth));
        for (std::int64_t i = 0; i < length; i += kWidth) {
            const Vec valueA = nearA.Add(a.Xor(i));
            const Vec value8 = register8.Xor(i);
            toA.Put(i, valueA);
            to8.Put(i, value8);
            Store(key + i, valueA ^ value8 ^ Complement(OneByteBack(register8Before, value8)));
            register8Before = value8;
        }
    });
    ByCount<4>(s.cTaps.count, [&](auto count) {
        const Lagged<count()> c(s.c, s.cTaps, t0);
        NearTaps nearC(s.c, s.cTaps, t0);
        const Lagged<1> register11(s.registers[1], s.registerTaps[1], t0);
        const Writer toC(s.c, t0);
        const Writer to11(s.registers[1], t0);
        for (std::int64_t i = 0; i < length; i += kWidth) {
            const Vec valueC = nearC.Add(c.Xor(i));
            const Vec value11 = register11.Xor(i);
            toC.Put(i, valueC);
            to11.Put(i, value11);
            Store(key + i, Load(key + i) ^ valueC ^ value11);
        }
    });
    const Lagged<2> register236(s.registers[2], s.registerTaps[2], t0);
    const Writer to236(s.registers[2], t0);
    if (s.withRegister999) {
        const Lagged<2> register999(s.registers[3], s.registerTaps[3], t0);
        const Writer to999(s.registers[3], t0);
        for (std::int64_t i = 0; i < length; i += kWidth) {
            const Vec value236 = register236.Xor(i);
            const Vec value999 = register999.Xor(i);
            to236.Put(i, value236);
            to999.Put(i, value999);
            Store(key + i, Load(key + i) ^ value236 ^ value999);
        }
    } else {
        for (std::int64_t i = 0; i < length; i += kWidth) {
            const Vec value236 = register236.Xor(i);
            to236.Put(i, value236);
            Store(key + i, Load(key + i) ^ value236);
        }
    }
}

template <int kCount, bool kOddHalves, int kTail>
void RecurDWith(Ring d, const PipeTail<kTail>& added, const Taps& taps, Ring plain, Ring mixD,
                std::int64_t t0, std::int64_t t1) {
    const Lagged<kCount> lagged(d, taps, t0);
    NearTaps<kOddHalves> near(d, taps, t0);
    const std::uint8_t* plainFrom = From(plain, t0, 0);
    const Writer toD(d, t0);
    const Writer toMixD(mixD, t0);
    for (std::int64_t i = 0; i < t1 - t0; i += kWidth) {
        const Vec value = near.Add(lagged.Xor(i) ^ added.Xor(i));
        toD.Put(i, value);
        toMixD.Put(i, value ^ Load(plainFrom + i));
    }
}

// Calls body(vectors, i) for the groups of vectors of a block that one pass
// of the scalar steps scans, with the number of vectors as a constant:
// 32-byte vectors two at a time, so that the pass scans the bits of both, and
// a vector left over alone.
template <typename Body>
[[gnu::always_inline]] inline void ForEachGroup(std::int64_t length, const Body& body) {
    constexpr int kGroup = kWidth == 32 ? 2 : 1;
    constexpr std::int64_t kStep = std::int64_t{kGroup} * kWidth;
    std::int64_t i = 0;
    for (; i + kStep <= length; i += kStep) {
        body(std::integral_constant<int, kGroup>{}, i);
    }
    if (i < length) {
        body(std::integral_constant<int, 1>{}, i);
    }
}

// Every bit joins the previous coded bit: a prefix xor within each byte, and
// a carry of the parity of all earlier bytes; a carry inverts the whole byte,
// in either bit order.
template <int kCount, bool kOddHalves, int kTail>
void RecurEncodeWith(Ring b, const PipeTail<kTail>& added, const Taps& taps, Ring d,
                     const std::uint8_t* key, std::uint8_t* out, ChainScan& scan, std::int64_t t0,
                     std::int64_t t1) {
    const Lagged<kCount> lagged(b, taps, t0);
    NearTaps<kOddHalves> near(b, taps, t0);
    const std::uint8_t* dFrom = From(d, t0, 0);
    const Writer toB(b, t0);
    const Vec flip = scan.inverted ? ~Vec{} : Vec{};
    Bits chainBit = scan.chainBit ? 1 : 0;
    Bits reversedOrder = scan.reversed ? 1 : 0;
    // Both codings of the byte at i, before the carry.
    const auto codings = [&](std::int64_t i, Vec& text, Vec& reversed) {
        const Vec newB = near.Add(lagged.Xor(i) ^ added.Xor(i));
        toB.Put(i, newB);
        PrefixAndReversed(newB ^ Load(dFrom + i) ^ Load(key + i) ^ flip, text, reversed);
    };
    // The carry of a group of vectors comes from their lowest bits alone;
    // the bit-order scan then compares the bytes it inverted.
    const auto code = [&](auto vectors, std::int64_t i) {
        constexpr int kVectors = vectors();
        constexpr int kBits = kVectors * kWidth;
        std::array<Vec, kVectors> text;
        std::array<Vec, kVectors> reversed;
        Bits low = 0;
        for (std::size_t j = 0; j < kVectors; ++j) {
            codings(i + static_cast<std::int64_t>(j) * kWidth, text[j], reversed[j]);
            low |= LowBits(text[j]) << (j * kWidth);
        }
        const Bits parity = PrefixXor<kBits>(low);
        const Bits carry = ((parity << 1) ^ (0 - chainBit)) & kLowBits<kBits>;
        chainBit ^= parity >> (kBits - 1);
        const auto carryBytes = ExpandEach<kVectors>(carry);
        Bits high = 0;
        Bits notLow = 0;
        for (std::size_t j = 0; j < kVectors; ++j) {
            text[j] ^= carryBytes[j];
            reversed[j] ^= carryBytes[j];
            high |= Above(text[j], 170) << (j * kWidth);
            notLow |= Above(reversed[j], 84) << (j * kWidth);
        }
        const Bits before = reversedOrder;
        const Bits after = ScanOrder<kBits>(high, high ^ notLow, reversedOrder);
        const auto coded =
            ChooseEach<kVectors>(((after << 1) | before) & kLowBits<kBits>, reversed, text);
        for (std::size_t j = 0; j < kVectors; ++j) {
            Store(out + i + static_cast<std::int64_t>(j * kWidth), coded[j]);
        }
    };
    ForEachGroup(t1 - t0, code);
    scan.chainBit = chainBit != 0;
    scan.reversed = reversedOrder != 0;
}

void Decode(const std::uint8_t* in, const std::uint8_t* key, Ring g, ChainScan& scan,
            std::int64_t t0, std::int64_t t1) {
    const Writer toG(g, t0);
    const Vec flip = scan.inverted ? ~Vec{} : Vec{};
    Bits chainBit = scan.chainBit ? 1 : 0;
    Bits reversedOrder = scan.reversed ? 1 : 0;
    const auto decode = [&](auto vectors, std::int64_t i) {
        constexpr int kVectors = vectors();
        constexpr int kBits = kVectors * kWidth;
        std::array<Vec, kVectors> cipher;
        Bits high = 0;
        Bits notLow = 0;
        for (std::size_t j = 0; j < kVectors; ++j) {
            cipher[j] = Load(in + i + static_cast<std::int64_t>(j * kWidth));
            high |= Above(cipher[j], 170) << (j * kWidth);
            notLow |= Above(cipher[j], 84) << (j * kWidth);
        }
        const Bits before = reversedOrder;
        const Bits after = ScanOrder<kBits>(high, notLow & ~high, reversedOrder);
        std::array<Vec, kVectors> reversed;
        for (std::size_t j = 0; j < kVectors; ++j) {
            reversed[j] = Reverse(cipher[j]);
        }
        const auto text = ChooseEach<kVectors>((after << 1) | before, reversed, cipher);
        Bits last = 0;
        for (std::size_t j = 0; j < kVectors; ++j) {
            last |= LowBits(text[j]) << (j * kWidth);
        }
        // Every bit joins the previous bit of the text, across bytes too.
        const auto carry = ExpandEach<kVectors>((last << 1) | chainBit);
        chainBit = last >> (kBits - 1);
        for (std::size_t j = 0; j < kVectors; ++j) {
            const std::int64_t at = i + static_cast<std::int64_t>(j * kWidth);
            const Vec plain = text[j] ^ (text[j] >> 1) ^ (carry[j] & 0x80) ^ flip;
            toG.Put(at, plain ^ Load(key + at));
        }
    };
    ForEachGroup(t1 - t0, decode);
    scan.chainBit = chainBit != 0;
    scan.reversed = reversedOrder != 0;
}

template <int kCount>
void FinishDecryptWith(Ring b, Ring g, Ring d, const Taps& mixB, std::uint8_t* out, std::int64_t t0,
                       std::int64_t t1) {
    const Lagged<kCount> lagged(b, mixB, t0);
    const std::uint8_t* bFrom = From(b, t0, 0);
    const std::uint8_t* gFrom = From(g, t0, 0);
    const Writer toD(d, t0);
    for (std::int64_t i = 0; i < t1 - t0; i += kWidth) {
        const Vec guess = Load(gFrom + i);
        Store(out + i, guess ^ lagged.Xor(i));
        toD.Put(i, Load(bFrom + i) ^ guess);
    }
}

// The table relations keep 1 to 3 of their 3 lags.
void RecurD(Ring d, const Pipe& pipe, Ring plain, Ring mixD, std::int64_t t0, std::int64_t t1) {
    const Taps& taps = pipe.squared;
    ByPipeTail<3>(pipe, [&](auto tail, const Ring& ring, const Taps& tailTaps) {
        const PipeTail<tail()> added(ring, tailTaps, t0);
        ByCount<3>(taps.count, [&](auto count) {
            ByOddHalves(taps, [&](auto odd) {
                RecurDWith<count(), odd()>(d, added, taps, plain, mixD, t0, t1);
            });
        });
    });
}

void RecurEncode(Ring b, const Pipe& pipe, Ring d, const std::uint8_t* key, std::uint8_t* out,
                 ChainScan& scan, std::int64_t t0, std::int64_t t1) {
    const Taps& taps = pipe.squared;
    ByPipeTail<3>(pipe, [&](auto tail, const Ring& ring, const Taps& tailTaps) {
        const PipeTail<tail()> added(ring, tailTaps, t0);
        ByCount<3>(taps.count, [&](auto count) {
            ByOddHalves(taps, [&](auto odd) {
                RecurEncodeWith<count(), odd()>(b, added, taps, d, key, out, scan, t0, t1);
            });
        });
    });
}

void FinishDecrypt(Ring b, Ring g, Ring d, const Taps& mixB, std::uint8_t* out, std::int64_t t0,
                   std::int64_t t1) {
    ByCount<3>(mixB.count,
               [&](auto count) { FinishDecryptWith<count()>(b, g, d, mixB, out, t0, t1); });
}

// The first `stages` filter stages of the pipe.
void FeedStages(const Pipe& pipe, int stages, std::int64_t t0, std::int64_t t1) {
    for (std::size_t k = 0; k < static_cast<std::size_t>(stages); ++k) {
        Filter(pipe.stage[k + 1], pipe.stage[k], pipe.taps[k], true, t0, t1);
    }
}

void FeedPipe(const Pipe& pipe, std::int64_t t0, std::int64_t t1) {
    FeedStages(pipe, pipe.stages, t0, t1);
}

// The stages that the encryption loops run apart from the recurrence.
void FeedHead(const Pipe& pipe, std::int64_t t0, std::int64_t t1) {
    FeedStages(pipe, std::max(pipe.stages - kStagesInRecurrence, 0), t0, t1);
}

// One call a block: every loop of the direction.
void Encrypt(const EncryptRings& r, const std::uint8_t* key, const std::uint8_t* in,
             std::uint8_t* out, ChainScan& scan, std::int64_t t0, std::int64_t t1) {
    CopyIn(r.plain, in, t0, t1);
    FeedHead(r.pipeD, t0, t1);
    RecurD(r.d, r.pipeD, r.plain, r.mixD, t0, t1);
    FeedHead(r.pipeB, t0, t1);
    RecurEncode(r.b, r.pipeB, r.d, key, out, scan, t0, t1);
}

void Decrypt(const DecryptRings& r, const std::uint8_t* key, const std::uint8_t* in,
             std::uint8_t* out, ChainScan& scan, std::int64_t t0, std::int64_t t1) {
    Decode(in, key, r.guess, scan, t0, t1);
    Filter(r.guessMix, r.guess, r.mixD, false, t0, t1);
    FeedHead(r.coupled, t0, t1);
    RecurFromPipe(r.b, r.coupled, t0, t1);
    FinishDecrypt(r.b, r.guess, r.d, r.mixB, out, t0, t1);
}

constexpr Kernels kKernels{kWidth, Recur, CombineKey, ProduceKey, FeedPipe, Encrypt, Decrypt};

}  // namespace
}  // namespace velkor::blocked
