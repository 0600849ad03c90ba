#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velkor::blocked {

// Bytes per block of the vector path.
constexpr std::int64_t kBlock = 1024;

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

// Lags of an xor relation; equal lags cancel as they do byte by byte. The
// vector loops take a recurrence's tap a whole vector back from the vector
// made last rather than from memory, and in the 32- and 64-byte loops a tap
// half a vector back from the vector they are making. The 32-byte loops take
// taps 3, 5 and 7 half vectors back from the vectors made last too: a load
// there would straddle two stores just made.
struct Taps {
    std::array<std::int64_t, 6> lag{};
    int count = 0;
    bool wholeVector = false;
    bool halfVector = false;
    int oddHalves = 0;  // bit k: a tap 2k + 3 half vectors back
};

struct ChainScan {
    bool reversed = false;
    bool chainBit = false;
    bool inverted = false;  // slow mode codes with xnor
};

// The data-independent sources of the key byte: the two tables and the four
// registers, each with the lags of its squared recurrence; Register8 and
// Register11 with the one lag of their period.
struct KeySources {
    Ring a, c;
    std::array<Ring, 4> registers;
    Taps aTaps, cTaps;
    std::array<Taps, 4> registerTaps;
    bool withRegister999 = false;
};

constexpr int kMaxStages = 6;

// Filter stages of one recurrence's input; stage[0] holds the input and
// stage[stages] what the recurrence squared `stages` times adds. The 32-byte
// loops of a direction's own recurrences sum the last stage themselves.
struct Pipe {
    std::array<Ring, kMaxStages + 1> stage{};
    std::array<Taps, kMaxStages> taps{};
    Taps squared;  // the recurrence's own lags times 2^stages
    int stages = 0;

    const Ring& Output() const { return stage[static_cast<std::size_t>(stages)]; }
};

// Encryption: d from the plaintext, b from mixD = d ^ plain.
struct EncryptRings {
    Ring plain, mixD, d, b;
    Pipe pipeD, pipeB;
};

// Decryption: the guesses g = decoded ^ key, so that plain = g ^ mixB and
// d = b ^ g; b from the guesses at the short lags.
struct DecryptRings {
    Ring guess, guessMix, d, b;
    Taps mixD, mixB;
    Pipe coupled;
};

// Vector loops over stream positions [t0, t1), both multiples of the width,
// within one block. `key` holds the key bytes from t0 on.
struct Kernels {
    int width;
    // x[t] = x[t - lag] for every lag; every lag at least the width.
    void (*recur)(Ring x, const Taps& taps, std::int64_t t0, std::int64_t t1);
    void (*combineKey)(const KeySources& sources, std::uint8_t* key, std::int64_t t0,
                       std::int64_t t1);
    // Every source's recurrence and the key bytes.
    void (*produceKey)(const KeySources& sources, std::uint8_t* key, std::int64_t t0,
                       std::int64_t t1);
    void (*feedPipe)(const Pipe& pipe, std::int64_t t0, std::int64_t t1);
    void (*encrypt)(const EncryptRings& rings, const std::uint8_t* key, const std::uint8_t* in,
                    std::uint8_t* out, ChainScan& scan, std::int64_t t0, std::int64_t t1);
    void (*decrypt)(const DecryptRings& rings, const std::uint8_t* key, const std::uint8_t* in,
                    std::uint8_t* out, ChainScan& scan, std::int64_t t0, std::int64_t t1);
};

const Kernels& Kernels16();  // SSE2, every x86-64
const Kernels& Kernels32();  // AVX2 and PCLMUL
const Kernels& Kernels64();  // AVX-512 F, BW and VBMI, GFNI and PCLMUL

}  // namespace velkor::blocked
