#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <semaphore>
#include <thread>

#include "AnalysisState.h"
#include "SymbolTally.h"

namespace velkor {

// Counts large blocks on two cores. A block is cut into chunks that a helper
// thread takes while the caller reads the next block, and the caller takes
// what is left when it comes back; a helper that is late, because the
// machine is busy, finds the chunks gone, so the count is never slower than
// the caller's alone. Small blocks are counted by the caller alone, and so
// are large ones for a while after the helper has been of little use.
class SplitTally {
  public:
    SplitTally() = default;
    SplitTally(const SplitTally&) = delete;
    SplitTally& operator=(const SplitTally&) = delete;
    ~SplitTally();

    // The bytes may still be counted after Add returns: they must stay as
    // they are until the next Add or Counts.
    void Add(const std::uint8_t* bytes, std::size_t count);
    // The totals of everything added so far.
    ByteCounts Counts();

    static constexpr std::size_t kChunk = std::size_t{1} << 15;
    // Blocks below this are not worth waking the helper for.
    static constexpr std::size_t kSmallestSplit = 4 * kChunk;
    // Most large blocks counted alone between two calls on the helper.
    static constexpr std::size_t kLongestPause = 63;

  private:
    struct Job {
        const std::uint8_t* bytes = nullptr;
        std::size_t count = 0;
        std::uint32_t generation = 0;
    };

    // The next chunk of the job of that generation, if one is left.
    bool Claim(const Job& job, std::size_t& chunk);
    static void CountChunk(SymbolTally& tally, const Job& job, std::size_t chunk);
    // Counts what the helper left of the block before and waits for the
    // chunks it took.
    void Settle();
    void Help();

    SymbolTally own_;
    SymbolTally helped_;
    std::thread helper_;
    std::counting_semaphore<> work_{0};
    std::mutex jobLock_;
    Job job_;
    // The caller's copy of the job under way, if any.
    Job pending_;
    // The generation of the job in the high half, its next chunk in the low.
    std::atomic<std::uint64_t> next_{0};
    std::atomic<std::size_t> helperChunks_{0};
    bool stopping_ = false;
    bool alone_ = false;
    std::size_t pause_ = 0;
    std::size_t skipped_ = 0;
};

}  // namespace velkor
