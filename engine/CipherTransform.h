#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "ChainCoding.h"
#include "JobState.h"
#include "RegisterStream.h"

namespace velkor {

// The byte transform of one pass, started from the pass's prepared key
// material.
//
// Two of the four key tables, the registers and the complement taken from
// Register8 never depend on the data, so their combined byte (key mix and
// keystream) is produced ahead for a chunk at a time. The tables rotate by
// moving a start index through a larger buffer; the chain coding is a lookup.
class CipherTransform {
  public:
    explicit CipherTransform(const JobState& state);
    ~CipherTransform();
    CipherTransform(const CipherTransform&) = delete;
    CipherTransform& operator=(const CipherTransform&) = delete;

    // Transforms up to count bytes, testing `running` before each one, and
    // returns how many it transformed. Decrypt feeds back its own output.
    std::size_t Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                        const bool& running);
    std::size_t Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                        const bool& running);

    // A decrypt step whose feedback byte the caller settles afterwards.
    std::uint8_t DecryptStep(std::uint8_t cipherByte);
    void Feedback(std::uint8_t plainByte);

    int LongIndex1() const { return longIndex1_; }
    int ShortIndex1() const { return shortIndex1_; }
    int LongIndex2() const { return longIndex2_; }
    int ShortIndex2() const { return shortIndex2_; }

    static constexpr std::size_t kChunk = 4096;

  private:
    static constexpr std::size_t kShort = 33;
    static constexpr std::size_t kLong = 255;

    template <bool kEncrypt>
    std::size_t Transform(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                          const bool& running);
    void SetUpIndexes(const JobState& state);
    void Refill();
    // Bytes that can be transformed before a buffer needs attention.
    std::size_t Room();
    void SlideTables();

    int longIndex1_ = 0;
    int shortIndex1_ = 0;
    int longIndex2_ = 0;
    int shortIndex2_ = 0;

    // Data-independent part: KeyRemaindersCopy (a) and KeyReversed (c) as
    // streams of their new first entries, and the registers.
    std::array<std::uint8_t, kShort + kChunk> a_{};
    std::array<std::uint8_t, kLong + kChunk> c_{};
    RegisterStream register8_;
    RegisterStream register11_;
    RegisterStream register236_;
    std::optional<RegisterStream> register999_;
    std::uint8_t cell8_ = 0;  // Register8's eighth cell before the next byte

    // Key mix xor keystream for the bytes of the current chunk.
    std::array<std::uint8_t, kChunk> mix_{};
    std::size_t mixNext_ = kChunk;

    // Data-dependent tables: MaskedKeyReversed (b) and KeyRemainders (d).
    std::array<std::uint8_t, kLong + kChunk> b_{};
    std::array<std::uint8_t, kShort + kChunk> d_{};
    std::size_t next_ = 0;  // entries added since the last slide

    const ChainTables& chain_;
    int chainState_ = 0;

    // Values of a pending DecryptStep.
    std::uint8_t pendingB_ = 0;
    std::uint8_t pendingD_ = 0;
};

}  // namespace velkor
