#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "PassStage.h"
#include "Secret.h"
#include "WorkerThread.h"

namespace velkor {

// A group of passes chained in memory: each pass's output is the next pass's
// input, so a key-file job reads its source once and writes its result once.
// With a second thread, the later half of the passes runs on it one piece
// behind the caller, which keeps the reading, the hand-over to the sink and
// the stop flags; a lone pass runs there too, so that it overlaps them, and
// the caller makes its key bytes ahead.
class PassChain {
  public:
    // Takes the output of the last pass; false stops the chain.
    using Sink = std::function<bool(const std::uint8_t* data, std::size_t count)>;

    // pieceSize: the largest piece Push takes at once; it takes a larger one
    // in parts.
    PassChain(std::size_t pieceSize, bool useSecondThread);
    PassChain(const PassChain&) = delete;
    PassChain& operator=(const PassChain&) = delete;

    void Append(std::unique_ptr<PassStage> stage);
    std::size_t Length() const { return stages_.size(); }
    // Drops the passes; any piece still under way is finished first.
    void Clear();

    // Room for the next piece, of up to pieceSize bytes, valid until the next
    // Push: a piece put there reaches the passes without a copy.
    std::uint8_t* NextInput();
    // Runs a piece through every pass; the sink gets what comes out, which
    // may be the output of the piece before. False when the sink refused.
    bool Push(const std::uint8_t* in, std::size_t count, const RandomByteSource& random,
              const Sink& sink);
    // The input has ended: everything still in the passes goes to the sink.
    bool Finish(const RandomByteSource& random, const Sink& sink);

    bool KeyMismatch() const;

  private:
    struct Half {
        std::size_t from = 0;
        std::size_t to = 0;
        // Two buffers in turn: a pass reads one and writes the other.
        SecretBytes buffers[2];
    };

    std::size_t Split() const;
    // A lone pass: the caller only reads and hands on.
    bool AllOnWorker() const;
    void Reserve();
    // Drops a piece under way on the second thread.
    void Drop();
    // Runs the passes of a half; returns the output (in the half's buffers).
    const std::uint8_t* Run(Half& half, const std::uint8_t* in, std::size_t& length,
                            const RandomByteSource& random, bool finish);
    // Waits for the piece on the second thread and moves its output into
    // collected_; returns its length.
    std::size_t Take();

    std::vector<std::unique_ptr<PassStage>> stages_;
    std::size_t pieceSize_;
    bool useSecondThread_;
    Half first_;
    Half second_;

    // The caller's piece, when the caller runs passes itself.
    SecretBytes input_;
    // The next piece for the second thread, the one it works on, and the
    // output it gave last.
    SecretBytes staged_;
    SecretBytes handed_;
    SecretBytes collected_;
    std::size_t handedLength_ = 0;
    const RandomByteSource* handedRandom_ = nullptr;
    const std::uint8_t* result_ = nullptr;
    std::size_t resultLength_ = 0;
    bool inFlight_ = false;
    bool reserved_ = false;
    // Last, so that it ends before the buffers its task uses go.
    WorkerThread worker_;
};

}  // namespace velkor
