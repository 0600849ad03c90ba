#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "PassStage.h"
#include "Secret.h"

namespace velkor {

// A group of passes chained in memory: each pass's output is the next pass's
// input, so a key-file job reads its source once and writes its result once.
class PassChain {
  public:
    // The largest piece Push takes at once.
    explicit PassChain(std::size_t pieceSize);

    void Append(std::unique_ptr<PassStage> stage);
    std::size_t Length() const { return stages_.size(); }
    void Clear() { stages_.clear(); }

    // Runs a piece of at most pieceSize bytes through every pass; returns the
    // output of the last one, valid until the next call.
    const std::uint8_t* Push(const std::uint8_t* in, std::size_t count, std::size_t& produced,
                             const RandomByteSource& random);
    // The input has ended; what the passes still give out.
    const std::uint8_t* Finish(std::size_t& produced, const RandomByteSource& random);

    bool KeyMismatch() const;

  private:
    std::vector<std::unique_ptr<PassStage>> stages_;
    std::size_t pieceSize_;
    // Two buffers in turn: a pass reads one and writes the other.
    SecretBytes buffers_[2];
};

}  // namespace velkor
