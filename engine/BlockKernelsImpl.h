// The vector loops, included by one source file per vector width; that file
// defines kWidth first and is compiled for the matching instruction set.
// Everything here has internal linkage so the widths never mix at link time.

#include <immintrin.h>

#include <cstring>

#include "BlockKernels.h"

namespace velkor::blocked {
namespace {

using Vec = std::uint8_t __attribute__((vector_size(kWidth)));
using SignedVec = std::int8_t __attribute__((vector_size(kWidth)));
using Words = std::uint32_t __attribute__((vector_size(kWidth)));
using Bits = std::uint64_t;  // one bit per byte of a vector

constexpr Bits kAllBits = (Bits{1} << kWidth) - 1;

Vec Load(const std::uint8_t* p) {
    Vec v;
    std::memcpy(&v, p, kWidth);
    return v;
}

void Store(std::uint8_t* p, Vec v) {
    std::memcpy(p, &v, kWidth);
}

Vec At(const Ring& ring, std::int64_t t) {
    return Load(ring.data + (t & ring.mask));
}

void PutVec(const Ring& ring, std::int64_t t, Vec v) {
    const std::int64_t at = t & ring.mask;
    Store(ring.data + at, v);
    if (at < Ring::kMirror) {
        Store(ring.data + ring.mask + 1 + at, v);
    }
}

// A template, so that only the width's own intrinsic is compiled.
template <typename V>
Bits MoveMask(V v) {
    if constexpr (sizeof(V) == 16) {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(v)));
    } else {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(reinterpret_cast<__m256i>(v)));
    }
}

constexpr auto kBitOfByte = [] {
    std::array<std::uint8_t, kWidth> select{};
    for (std::size_t i = 0; i < select.size(); ++i) {
        select[i] = static_cast<std::uint8_t>(1U << (i % 8));
    }
    return select;
}();

// 0xFF in every byte whose bit is set: byte i of the vector takes byte i / 8
// of the bits, then keeps its own bit.
template <typename V>
[[gnu::always_inline]] inline V Expand(Bits bits) {
    const auto spread = reinterpret_cast<V>(Words{} + static_cast<std::uint32_t>(bits));
    V bytes;
    if constexpr (sizeof(V) == 16) {
        bytes =
            __builtin_shufflevector(spread, spread, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1);
    } else {
        bytes = __builtin_shufflevector(spread, spread, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1,
                                        1, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
    }
    const V select = Load(kBitOfByte.data());
    return reinterpret_cast<V>((bytes & select) == select);
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
    v ^= v >> 1;
    v ^= v >> 2;
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

// With AVX2 a byte shuffle looks up both nibbles; SSE2 has no byte shuffle
// and computes the function by shifts.
template <typename V>
[[gnu::always_inline]] inline V ByNibbles(const NibbleTables& tables, V low, V high) {
    const auto table = [](const auto& entries) {
        return reinterpret_cast<__m256i>(Load(entries.data()));
    };
    return reinterpret_cast<V>(
        _mm256_shuffle_epi8(table(tables[0]), reinterpret_cast<__m256i>(low)) ^
        _mm256_shuffle_epi8(table(tables[1]), reinterpret_cast<__m256i>(high)));
}

[[gnu::always_inline]] inline Vec Reverse(Vec v) {
    if constexpr (kWidth == 32) {
        return ByNibbles(kReverseTables, v & 0x0F, v >> 4);
    } else {
        v = (v >> 4) | (v << 4);
        v = ((v >> 2) & 0x33) | ((v << 2) & 0xCC);
        return ((v >> 1) & 0x55) | ((v << 1) & 0xAA);
    }
}

// The prefix xor within every byte, and the same reversed.
[[gnu::always_inline]] inline void PrefixAndReversed(Vec v, Vec& prefix, Vec& reversed) {
    if constexpr (kWidth == 32) {
        const Vec low = v & 0x0F;
        const Vec high = v >> 4;
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
[[gnu::always_inline]] inline Bits LowBits(Vec v) {
    using Halves = std::uint16_t __attribute__((vector_size(kWidth)));
    return MoveMask(reinterpret_cast<Halves>(v) << 7);
}

// A carry-less product with all ones where the processor has one.
template <int kBytes = kWidth>
[[gnu::always_inline]] inline Bits PrefixXor(Bits x) {
    if constexpr (kBytes == 32) {
        const __m128i product = _mm_clmulepi64_si128(_mm_cvtsi64_si128(static_cast<long long>(x)),
                                                     _mm_set1_epi32(-1), 0);
        return static_cast<Bits>(_mm_cvtsi128_si64(product)) & kAllBits;
    } else {
#pragma GCC unroll 5
        for (int shift = 1; shift < kWidth; shift *= 2) {
            x ^= x << shift;
        }
        return x & kAllBits;
    }
}

// The bit-order flag after every byte when byte i maps the flag f to
// a_i ^ (b_i & f). Between two bytes that ignore the flag it toggles with a,
// so it is the prefix xor of a, restarted at each such byte; the restart value
// is carried forward by an addition. `flag` enters and leaves the vector.
[[gnu::always_inline]] inline Bits ScanOrder(Bits a, Bits b, Bits& flag) {
    const Bits parity = PrefixXor(a);
    const Bits set = ~b & (parity << 1) & kAllBits;
    const Bits sum = (set | b) + set + flag;
    const Bits after = ((set | (b & ~sum)) ^ parity) & kAllBits;
    flag = after >> (kWidth - 1);
    return after;
}

template <int kCount>
[[gnu::always_inline]] inline Vec XorAtLags(const Ring& ring,
                                            const std::array<std::int64_t, 6>& lags,
                                            std::int64_t t) {
    Vec sum{};
#pragma GCC unroll 6
    for (int i = 0; i < kCount; ++i) {
        sum ^= At(ring, t - lags[i]);
    }
    return sum;
}

template <int kCount, bool kWithSelf>
void FilterWith(Ring out, Ring in, const Taps& taps, std::int64_t t0, std::int64_t t1) {
    const auto lags = taps.lag;
    for (std::int64_t t = t0; t < t1; t += kWidth) {
        Vec sum = XorAtLags<kCount>(in, lags, t);
        if constexpr (kWithSelf) {
            sum ^= At(in, t);
        }
        PutVec(out, t, sum);
    }
}

template <int kCount>
void RecurWith(Ring x, const Ring* input, const Taps& taps, std::int64_t t0, std::int64_t t1) {
    const auto lags = taps.lag;
    for (std::int64_t t = t0; t < t1; t += kWidth) {
        Vec sum = XorAtLags<kCount>(x, lags, t);
        if (input != nullptr) {
            sum ^= At(*input, t);
        }
        PutVec(x, t, sum);
    }
}

// Relations have 2, 3, 4 or 6 lags.
template <template <int> class Loop, typename... Args>
void ByCount(const Taps& taps, Args... args) {
    switch (taps.count) {
        case 2:
            Loop<2>::Run(args...);
            break;
        case 3:
            Loop<3>::Run(args...);
            break;
        case 4:
            Loop<4>::Run(args...);
            break;
        default:
            Loop<6>::Run(args...);
            break;
    }
}

template <int kCount>
struct FilterLoop {
    static void Run(Ring out, Ring in, const Taps* taps, bool withSelf, std::int64_t t0,
                    std::int64_t t1) {
        if (withSelf) {
            FilterWith<kCount, true>(out, in, *taps, t0, t1);
        } else {
            FilterWith<kCount, false>(out, in, *taps, t0, t1);
        }
    }
};

template <int kCount>
struct RecurLoop {
    static void Run(Ring x, const Ring* input, const Taps* taps, std::int64_t t0, std::int64_t t1) {
        RecurWith<kCount>(x, input, *taps, t0, t1);
    }
};

void Filter(Ring out, Ring in, const Taps& taps, bool withSelf, std::int64_t t0, std::int64_t t1) {
    ByCount<FilterLoop>(taps, out, in, &taps, withSelf, t0, t1);
}

void Recur(Ring x, const Ring* input, const Taps& taps, std::int64_t t0, std::int64_t t1) {
    ByCount<RecurLoop>(taps, x, input, &taps, t0, t1);
}

void CopyIn(Ring out, const std::uint8_t* in, std::int64_t t0, std::int64_t t1) {
    for (std::int64_t t = t0; t < t1; t += kWidth) {
        PutVec(out, t, Load(in + (t - t0)));
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
    } else {
        return __builtin_shufflevector(before, now, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42,
                                       43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57,
                                       58, 59, 60, 61, 62);
    }
}

void CombineKey(const KeySources& s, std::uint8_t* key, std::int64_t t0, std::int64_t t1) {
    for (std::int64_t t = t0; t < t1; t += kWidth) {
        Vec k = At(s.a, t) ^ At(s.c, t) ^ At(s.registers[0], t) ^ At(s.registers[1], t) ^
                At(s.registers[2], t);
        if (s.withRegister999) {
            k ^= At(s.registers[3], t);
        }
        Store(key + (t & (kBlock - 1)), k ^ Complement(At(s.registers[0], t - 1)));
    }
}

void ProduceKey(const KeySources& s, std::uint8_t* key, std::int64_t t0, std::int64_t t1) {
    const auto aLags = s.aTaps.lag;
    const auto cLags = s.cTaps.lag;
    const auto lags8 = s.registerTaps[0].lag;
    const auto lags11 = s.registerTaps[1].lag;
    const auto lags236 = s.registerTaps[2].lag;
    const auto lags999 = s.registerTaps[3].lag;
    Vec register8Before = At(s.registers[0], t0 - kWidth);
    for (std::int64_t t = t0; t < t1; t += kWidth) {
        const Vec a = XorAtLags<4>(s.a, aLags, t);
        const Vec c = XorAtLags<4>(s.c, cLags, t);
        const Vec register8 = XorAtLags<4>(s.registers[0], lags8, t);
        const Vec register11 = XorAtLags<2>(s.registers[1], lags11, t);
        const Vec register236 = XorAtLags<2>(s.registers[2], lags236, t);
        PutVec(s.a, t, a);
        PutVec(s.c, t, c);
        PutVec(s.registers[0], t, register8);
        PutVec(s.registers[1], t, register11);
        PutVec(s.registers[2], t, register236);
        Vec k = a ^ c ^ register8 ^ register11 ^ register236 ^
                Complement(OneByteBack(register8Before, register8));
        if (s.withRegister999) {
            const Vec register999 = XorAtLags<2>(s.registers[3], lags999, t);
            PutVec(s.registers[3], t, register999);
            k ^= register999;
        }
        register8Before = register8;
        Store(key + (t & (kBlock - 1)), k);
    }
}

void RecurD(Ring d, Ring input, const Taps& taps, Ring plain, Ring mixD, std::int64_t t0,
            std::int64_t t1) {
    const auto lags = taps.lag;
    for (std::int64_t t = t0; t < t1; t += kWidth) {
        const Vec value = XorAtLags<3>(d, lags, t) ^ At(input, t);
        PutVec(d, t, value);
        PutVec(mixD, t, value ^ At(plain, t));
    }
}

void RecurEncode(Ring b, Ring input, const Taps& taps, Ring d, const std::uint8_t* key,
                 std::uint8_t* out, ChainScan& scan, std::int64_t t0, std::int64_t t1) {
    const auto lags = taps.lag;
    const Vec flip = scan.inverted ? ~Vec{} : Vec{};
    Bits chainBit = scan.chainBit ? 1 : 0;
    Bits reversedOrder = scan.reversed ? 1 : 0;
    for (std::int64_t t = t0; t < t1; t += kWidth) {
        // Every bit joins the previous coded bit: a prefix xor within each
        // byte, and a carry of the parity of all earlier bytes.
        const Vec newB = XorAtLags<3>(b, lags, t) ^ At(input, t);
        PutVec(b, t, newB);
        Vec text;
        Vec reversed;
        PrefixAndReversed(newB ^ At(d, t) ^ Load(key + (t & (kBlock - 1))) ^ flip, text, reversed);
        const Bits parity = PrefixXor(LowBits(text));
        const Bits carry = ((parity << 1) ^ (0 - chainBit)) & kAllBits;
        chainBit ^= parity >> (kWidth - 1);
        // A carry inverts the whole byte, in either bit order.
        const Vec carryBytes = Expand<Vec>(carry);
        text ^= carryBytes;
        reversed ^= carryBytes;

        const Bits high = MoveMask(reinterpret_cast<Vec>(text > 170));
        const Bits notLow = MoveMask(reinterpret_cast<Vec>(reversed > 84));
        const Bits before = reversedOrder;
        const Bits after = ScanOrder(high, high ^ notLow, reversedOrder);
        const Vec useReversed = Expand<Vec>(((after << 1) | before) & kAllBits);
        Store(out + (t - t0), (reversed & useReversed) | (text & ~useReversed));
    }
    scan.chainBit = chainBit != 0;
    scan.reversed = reversedOrder != 0;
}

void Decode(const std::uint8_t* in, const std::uint8_t* key, Ring g, ChainScan& scan,
            std::int64_t t0, std::int64_t t1) {
    const Vec flip = scan.inverted ? ~Vec{} : Vec{};
    Bits chainBit = scan.chainBit ? 1 : 0;
    Bits reversedOrder = scan.reversed ? 1 : 0;
    for (std::int64_t t = t0; t < t1; t += kWidth) {
        const Vec cipher = Load(in + (t - t0));
        const Bits high = MoveMask(reinterpret_cast<Vec>(cipher > 170));
        const Bits low = MoveMask(reinterpret_cast<Vec>(cipher < 85));
        const Bits before = reversedOrder;
        const Bits after = ScanOrder(high, ~(high | low) & kAllBits, reversedOrder);
        const Vec useReversed = Expand<Vec>(((after << 1) | before) & kAllBits);
        const Vec text = (Reverse(cipher) & useReversed) | (cipher & ~useReversed);

        // Every bit joins the previous bit of the text, across bytes too.
        const Bits last = LowBits(text);
        const Bits carry = ((last << 1) | chainBit) & kAllBits;
        chainBit = last >> (kWidth - 1);
        const Vec plain = text ^ (text >> 1) ^ (Expand<Vec>(carry) & 0x80) ^ flip;
        PutVec(g, t, plain ^ Load(key + (t & (kBlock - 1))));
    }
    scan.chainBit = chainBit != 0;
    scan.reversed = reversedOrder != 0;
}

void FinishDecrypt(Ring b, Ring g, Ring d, const Taps& mixB, std::uint8_t* out, std::int64_t t0,
                   std::int64_t t1) {
    const auto lags = mixB.lag;
    for (std::int64_t t = t0; t < t1; t += kWidth) {
        const Vec guess = At(g, t);
        Store(out + (t - t0), guess ^ XorAtLags<3>(b, lags, t));
        PutVec(d, t, At(b, t) ^ guess);
    }
}

constexpr Kernels kKernels{kWidth,     Filter, Recur,       CopyIn, CombineKey,
                           ProduceKey, RecurD, RecurEncode, Decode, FinishDecrypt};

}  // namespace
}  // namespace velkor::blocked
