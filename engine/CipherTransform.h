#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "BlockKernels.h"
#include "ChainCoding.h"
#include "JobState.h"
#include "KeyStream.h"
#include "RingLayout.h"

namespace velkor {

// The byte transform of one pass, started from the pass's prepared key
// material. Its key bytes come from the pass's KeyStream, which it holds: made
// as it goes, or ahead by another thread through Keys().
//
// The two tables that the data feeds are linear recurrences over GF(2) whose
// lags are the pass indexes. Squaring doubles every lag, so after a warm-up
// the recurrences advance a whole vector of W bytes at once with lags of W
// times the indexes; a recurrence fed by the data squared k times takes its
// input through k filter stages first, k at most log2 W and smaller where
// every lag already reaches a few vectors back or is whole vectors (or, in
// 32-byte vectors, half vectors). A lag of a whole vector, and of half a
// vector in 32- and 64-byte vectors, comes from the vector just made rather
// than from memory; 32-byte vectors take 3, 5 and 7 half vectors from the
// vectors made last and sum the last filter stage inside the recurrence.
// Encryption runs the two tables as two chains; in decryption they couple
// into one recurrence with six lags. The first bytes of a pass, the bytes
// that do not fill a vector and DecryptStep go byte by byte through the same
// rings.
//
// The vector path runs in the direction of the state's EncryptMode; the other
// direction stays exact but byte by byte. 80 to 120 KiB per transform, on
// the heap (StateBytes); a move keeps it in place, and the destructor wipes it.
class CipherTransform {
  public:
    // Takes the widest vectors of at most vectorBytes (16, 32 or 64; 0 for
    // any) that the processor runs; 16 (SSE2) works on every x86-64.
    explicit CipherTransform(const JobState& state, int vectorBytes = 0);
    CipherTransform(CipherTransform&&) noexcept = default;
    CipherTransform& operator=(CipherTransform&&) = delete;
    CipherTransform(const CipherTransform&) = delete;
    CipherTransform& operator=(const CipherTransform&) = delete;
    ~CipherTransform() = default;

    // Transforms up to count bytes and returns how many it transformed;
    // `running` is tested at least every 1024 bytes. Decrypt feeds back its
    // own output. The key bytes are made as they are needed.
    std::size_t Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                        const bool& running);
    std::size_t Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                        const bool& running);

    // The same with key bytes made ahead by Keys(), keys[i] for in[i]: all
    // count bytes. Once a transform takes key bytes made ahead it takes them
    // for every byte, since its key stream is no longer where its data is.
    void Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                 const std::uint8_t* keys);
    void Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                 const std::uint8_t* keys);

    // A decrypt step whose feedback byte the caller settles afterwards; the
    // key byte made as needed or ahead.
    std::uint8_t DecryptStep(std::uint8_t cipherByte);
    std::uint8_t DecryptStep(std::uint8_t cipherByte, std::uint8_t key);
    void Feedback(std::uint8_t plainByte);

    // For making key bytes ahead, on any one thread at a time: nothing else
    // of the transform touches the key stream while it takes key bytes made
    // ahead.
    KeyStream& Keys() { return keys_; }

    int LongIndex1() const { return indexes_.long1; }
    int ShortIndex1() const { return indexes_.short1; }
    int LongIndex2() const { return indexes_.long2; }
    int ShortIndex2() const { return indexes_.short2; }

    // Stream position from which whole vectors take the vector path.
    std::int64_t VectorPathFrom() const { return vectorFrom_; }
    int VectorBytes() const { return kernels_->width; }
    // Bytes of state this transform holds on the heap.
    std::size_t StateBytes() const { return arena_.Bytes() + keys_.StateBytes(); }

  private:
    template <bool kEncrypt>
    std::size_t WithOwnKeys(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                            const bool& running);
    template <bool kEncrypt>
    void Transform(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                   const std::uint8_t* keys);
    template <bool kEncrypt>
    [[gnu::always_inline]] inline std::uint8_t Step(std::uint8_t in, std::uint8_t key, int& state);
    [[gnu::always_inline]] inline void Commit(std::uint8_t plain);
    void FeedPipes(std::int64_t t0, std::int64_t t1) const;
    // Filters the byte steps' input up to the last whole vector.
    void CatchUpPipes();
    void SetUpTaps();
    void LayOutRings();
    void FillRings(const JobState& state);
    void LayOutPipe(blocked::Pipe& pipe, blocked::Ring input, const blocked::Taps& lags,
                    int maxLag);

    PassIndexes indexes_;
    const blocked::Kernels* kernels_;
    bool encryptMode_;
    bool swift_;
    KeyStream keys_;
    blocked::RingArena arena_;

    // Streams of new first entries: MaskedKeyReversed (b), KeyRemainders (d);
    // the plaintext, and in decryption the decoded bytes xor key (g), so that
    // plain = g ^ mixB.
    blocked::Ring b_, d_;
    blocked::Taps tapsMixB_, tapsMixD_, tapsCoupled_;
    blocked::EncryptRings encryptRings_;
    blocked::DecryptRings decryptRings_;
    std::int64_t vectorFrom_ = 0;
    // Key bytes made as needed, a block at most.
    std::uint8_t* ownKeys_ = nullptr;

    std::int64_t position_ = 0;
    std::int64_t pipesFedTo_ = 0;

    const ChainTables* chain_;
    int chainState_ = 0;
    std::uint8_t pendingB_ = 0;
    std::uint8_t pendingD_ = 0;
};

}  // namespace velkor
