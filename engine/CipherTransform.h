#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "BlockKernels.h"
#include "ChainCoding.h"
#include "JobState.h"
#include "RegisterStream.h"

namespace velkor {

// The byte transform of one pass, started from the pass's prepared key
// material.
//
// Every table entry is an xor of earlier ones, so each table's stream of new
// first entries is a linear recurrence over GF(2) whose lags are the pass
// indexes. Squaring doubles every lag, so after a warm-up the recurrences
// advance a whole vector of W bytes at once with lags of W times the indexes;
// a recurrence fed by the data squared k times takes its input through k
// filter stages first, k at most log2 W and smaller where every lag already
// reaches a few vectors back or is whole vectors (or, in 32-byte vectors,
// half vectors). A lag of a whole vector, and of half a vector in 32- and
// 64-byte vectors, comes from the vector just made rather than from memory;
// 32-byte vectors take 3, 5 and 7 half vectors from the vectors made last and
// sum the last filter stage inside the recurrence. Registers 8 and 11 repeat
// their bytes after 255 and 2047. Encryption runs the two data-dependent
// tables as two chains; in decryption they couple into one recurrence with
// six lags. The first bytes of a pass, the bytes that do not fill a vector
// and DecryptStep go byte by byte through the same rings.
//
// The vector path runs in the direction of the state's EncryptMode; the other
// direction stays exact but byte by byte. 80 to 120 KiB per transform, on
// the heap (StateBytes); a move keeps it in place, and the destructor wipes it.
class CipherTransform {
  public:
    // Takes the widest vectors of at most vectorBytes (16, 32 or 64; 0 for
    // any) that the processor runs; 16 (SSE2) works on every x86-64.
    explicit CipherTransform(const JobState& state, int vectorBytes = 0);
    ~CipherTransform();
    CipherTransform(CipherTransform&&) noexcept = default;
    // Would drop the old state unwiped.
    CipherTransform& operator=(CipherTransform&&) = delete;
    CipherTransform(const CipherTransform&) = delete;
    CipherTransform& operator=(const CipherTransform&) = delete;

    // Transforms up to count bytes and returns how many it transformed;
    // `running` is tested at least every 1024 bytes. Decrypt feeds back its
    // own output.
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

    // Stream position from which whole vectors take the vector path.
    std::int64_t VectorPathFrom() const { return vectorFrom_; }
    int VectorBytes() const { return kernels_->width; }
    // Bytes of state this transform holds on the heap.
    std::size_t StateBytes() const { return arenaSize_; }

    static constexpr std::size_t kChunk = 4096;

  private:
    template <bool kEncrypt>
    std::size_t Transform(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                          const bool& running);
    template <bool kEncrypt>
    [[gnu::always_inline]] inline std::uint8_t Step(std::uint8_t in, int& state);
    [[gnu::always_inline]] inline void Commit(std::uint8_t plain);
    void EncryptVectors(const std::uint8_t* in, std::uint8_t* out, std::int64_t t1);
    void DecryptVectors(const std::uint8_t* in, std::uint8_t* out, std::int64_t t1);
    void FeedPipes(std::int64_t t0, std::int64_t t1) const;
    // Filters the byte steps' input up to the last whole vector.
    void CatchUpPipes();
    void ProduceKeyBlock();
    void SetUpIndexes(const JobState& state);
    void SetUpTaps();
    void LayOutRings();
    void FillRings(const JobState& state);
    blocked::Ring Carve(std::int64_t size, bool readBack = true);
    void LayOutPipe(blocked::Pipe& pipe, blocked::Ring input, const blocked::Taps& lags,
                    int maxLag);

    int longIndex1_ = 0;
    int shortIndex1_ = 0;
    int longIndex2_ = 0;
    int shortIndex2_ = 0;

    const blocked::Kernels* kernels_;
    bool encryptMode_;
    bool swift_;
    // Whole cache lines, so that the vector loops' stores and the loads at
    // lags of whole vectors never straddle two lines.
    struct alignas(64) CacheLine {
        std::array<std::uint8_t, 64> bytes;
    };
    std::unique_ptr<CacheLine[]> arena_;
    std::size_t arenaSize_ = 0;
    std::size_t arenaUsed_ = 0;

    // Streams of new first entries: KeyRemaindersCopy (a), MaskedKeyReversed
    // (b), KeyReversed (c), KeyRemainders (d); the registers' bytes, first
    // clock in the top bit; the plaintext, and in decryption the decoded bytes
    // xor key (g), so that plain = g ^ mixB.
    blocked::Ring a_, b_, c_, d_;
    blocked::KeySources keySources_;
    blocked::Taps tapsA_, tapsC_, tapsMixB_, tapsMixD_, tapsCoupled_;
    std::array<blocked::Ring, 4> registers_{};
    std::array<blocked::Taps, 4> registerTaps_;
    std::array<std::int64_t, 4> registerVectorFrom_{};
    std::array<std::optional<RegisterStream>, 4> registerWarmUp_;
    std::int64_t aVectorFrom_ = 0;
    std::int64_t cVectorFrom_ = 0;
    std::int64_t keyVectorFrom_ = 0;  // every key source on vectors
    blocked::EncryptRings encryptRings_;
    blocked::DecryptRings decryptRings_;
    std::int64_t vectorFrom_ = 0;

    std::uint8_t* key_ = nullptr;  // key bytes of the current block
    std::int64_t keyBlockEnd_ = 0;
    std::int64_t position_ = 0;
    std::int64_t pipesFedTo_ = 0;

    const ChainTables* chain_;
    int chainState_ = 0;
    std::uint8_t pendingB_ = 0;
    std::uint8_t pendingD_ = 0;
};

}  // namespace velkor
