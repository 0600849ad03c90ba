#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "CipherTransform.h"
#include "JobState.h"
#include "Secret.h"

namespace velkor {

// Draws a number in 0..255 for the header length of an encryption pass.
using RandomByteSource = std::function<int()>;

// One pass of a job as a stream stage: it takes the pass's input in pieces of
// any size and gives its output, so that the passes of a key-file job feed
// each other in memory. Encryption puts the header in front of the data;
// decryption recognises the header, drops it and tells whether it matched.
class PassStage {
  public:
    static constexpr std::size_t kMaxHeader = 256;

    // Takes the key material that `state` holds after the pass preparation.
    // vectorBytes: the widest vectors the transform may use (0 for any).
    PassStage(const JobState& state, bool encrypt, int vectorBytes = 0);
    ~PassStage();
    PassStage(const PassStage&) = delete;
    PassStage& operator=(const PassStage&) = delete;

    // Transforms count bytes into out, which has room for count + kMaxHeader
    // bytes; returns how many it put there.
    std::size_t Push(const std::uint8_t* in, std::size_t count, std::uint8_t* out,
                     const RandomByteSource& random);
    // The input has ended: an encryption of nothing still gets its header.
    std::size_t Finish(std::uint8_t* out, const RandomByteSource& random);

    // Makes the key bytes of the next Push, of the same count bytes from the
    // same `in`, so that one thread makes them while another runs the Push
    // before. Once called it is called before every Push; an encryption draws
    // its header here then.
    void MakeKeysAhead(const std::uint8_t* in, std::size_t count, const RandomByteSource& random);

    // A decryption found leading bytes that are not this key's header.
    bool KeyMismatch() const { return keyMismatch_; }

  private:
    std::size_t DrawHeaderLength(const std::uint8_t* firstByte, const RandomByteSource& random);
    // keys: key bytes made ahead, or nullptr to make them now.
    std::size_t PutHeader(std::uint8_t* out, std::size_t length, const std::uint8_t* keys);
    std::size_t DecryptHeader(const std::uint8_t* in, std::size_t count, std::uint8_t* out,
                              std::size_t& used, const std::uint8_t* keys);
    void Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                 const std::uint8_t* keys);
    void Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                 const std::uint8_t* keys);

    CipherTransform transform_;
    std::array<std::uint8_t, 256> expandedKey_{};
    bool encrypt_;
    bool headerPending_ = true;
    std::size_t headerMatched_ = 0;
    bool keyMismatch_ = false;

    // Key bytes made ahead, for every other Push: MakeKeysAhead fills one
    // while Push reads the other, each counting its own calls.
    bool keysAhead_ = false;
    std::array<SecretBytes, 2> ahead_;
    std::size_t aheadMade_ = 0;
    std::size_t aheadUsed_ = 0;
    std::size_t drawnHeader_ = 0;
};

}  // namespace velkor
