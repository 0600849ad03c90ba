#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velkor::blocked {

// Bytes per block of the vector path; the key bytes are made a block ahead.
constexpr std::int64_t kBlock = 512;

// A power-of-two ring of stream bytes indexed by stream position. A ring read
// at a lag repeats its first block after its end, so that no read within a
// block wraps.
struct Ring {
    static constexpr std::int64_t kMirror = kBlock;

    std::uint8_t* data = nullptr;
    std::int64_t mask = 0;
    std::int64_t repeated = 0;  // kMirror or 0

    std::uint8_t Get(std::int64_t t) const { return data[t & mask]; }
    void Put(std::int64_t t, std::uint8_t value) const {
        const std::int64_t at = t & mask;
        data[at] = value;
        if (at < repeated) {
            data[mask + 1 + at] = value;
        }
    }
};

// Lags of an xor relation; equal lags cancel as they do byte by byte.
struct Taps {
    std::array<std::int64_t, 6> lag{};
    int count = 0;
};

struct ChainScan {
    bool reversed = false;
    bool chainBit = false;
    bool inverted = false;  // slow mode codes with xnor
};

// The data-independent sources of the key byte: the two tables and the four
// registers, each with the lags of its squared recurrence.
struct KeySources {
    Ring a, c;
    std::array<Ring, 4> registers;
    Taps aTaps, cTaps;
    std::array<Taps, 4> registerTaps;
    bool withRegister999 = false;
};

// Vector loops over stream positions [t0, t1), both multiples of the width.
// `key` holds the key bytes of the block around t0.
struct Kernels {
    int width;
    // out[t] = (in[t] if withSelf) ^ in[t - lag] for every lag.
    void (*filter)(Ring out, Ring in, const Taps& taps, bool withSelf, std::int64_t t0,
                   std::int64_t t1);
    // x[t] = input[t] ^ x[t - lag] for every lag; every lag at least the width.
    void (*recur)(Ring x, const Ring* input, const Taps& taps, std::int64_t t0, std::int64_t t1);
    void (*copyIn)(Ring out, const std::uint8_t* in, std::int64_t t0, std::int64_t t1);
    void (*combineKey)(const KeySources& sources, std::uint8_t* key, std::int64_t t0,
                       std::int64_t t1);
    // Every source's recurrence and the key bytes in one loop.
    void (*produceKey)(const KeySources& sources, std::uint8_t* key, std::int64_t t0,
                       std::int64_t t1);
    // The recurrence of d (three lags), then mixD = d ^ plain.
    void (*recurD)(Ring d, Ring input, const Taps& taps, Ring plain, Ring mixD, std::int64_t t0,
                   std::int64_t t1);
    // The recurrence of b (three lags), then the encryption output: the chain
    // coding of b ^ d ^ key.
    void (*recurEncode)(Ring b, Ring input, const Taps& taps, Ring d, const std::uint8_t* key,
                        std::uint8_t* out, ChainScan& scan, std::int64_t t0, std::int64_t t1);
    // Decryption input: g = chain decoding of in, xor key.
    void (*decode)(const std::uint8_t* in, const std::uint8_t* key, Ring g, ChainScan& scan,
                   std::int64_t t0, std::int64_t t1);
    // Decryption output g ^ (b at the three lags), and d = b ^ g.
    void (*finishDecrypt)(Ring b, Ring g, Ring d, const Taps& mixB, std::uint8_t* out,
                          std::int64_t t0, std::int64_t t1);
};

const Kernels& Kernels16();  // SSE2, every x86-64
const Kernels& Kernels32();  // AVX2 and PCLMUL

}  // namespace velkor::blocked
