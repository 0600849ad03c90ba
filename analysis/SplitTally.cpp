#include "SplitTally.h"

#include <algorithm>
#include <system_error>

#include "HelperThreadSignals.h"

namespace velkor {

namespace {

constexpr int kGenerationShift = 32;

std::size_t Chunks(std::size_t count) {
    return (count + SplitTally::kChunk - 1) / SplitTally::kChunk;
}

}  // namespace

SplitTally::~SplitTally() {
    Settle();
    if (helper_.joinable()) {
        {
            const std::lock_guard lock(jobLock_);
            stopping_ = true;
        }
        work_.release();
        helper_.join();
    }
}

void SplitTally::Add(const std::uint8_t* bytes, std::size_t count) {
    Settle();
    if (count >= kSmallestSplit && !helper_.joinable() && !alone_) {
        try {
            const HelperThreadSignals quiet;
            helper_ = std::thread([this] { Help(); });
        } catch (const std::system_error&) {
            // No thread to be had: the count goes on, on one core.
            alone_ = true;
        }
    }
    if (count < kSmallestSplit || alone_ || skipped_ < pause_) {
        skipped_ += count < kSmallestSplit ? 0 : 1;
        own_.Add(bytes, count);
        return;
    }
    Job job;
    {
        const std::lock_guard lock(jobLock_);
        job = {bytes, count, job_.generation + 1};
        job_ = job;
        helperChunks_.store(0);
        next_.store(std::uint64_t{job.generation} << kGenerationShift);
    }
    work_.release();
    pending_ = job;
}

void SplitTally::Settle() {
    if (pending_.bytes == nullptr) {
        return;
    }
    const Job job = pending_;
    pending_ = Job{};
    std::size_t chunk = 0;
    std::size_t ownChunks = 0;
    while (Claim(job, chunk)) {
        CountChunk(own_, job, chunk);
        ++ownChunks;
    }
    // Only chunks that the helper has taken are waited for.
    while (helperChunks_.load(std::memory_order_acquire) + ownChunks < Chunks(job.count)) {
        std::this_thread::yield();
    }
    // Waking a helper that gets no time costs more than it brings: on a busy
    // machine it is asked ever less often, until it takes its share again.
    const bool helped = (Chunks(job.count) - ownChunks) * 4 >= Chunks(job.count);
    pause_ = helped ? 0 : std::min(2 * pause_ + 1, kLongestPause);
    skipped_ = 0;
}

ByteCounts SplitTally::Counts() {
    Settle();
    ByteCounts totals = own_.Counts();
    const ByteCounts& helped = helped_.Counts();
    for (std::size_t value = 0; value < totals.size(); ++value) {
        totals[value] += helped[value];
    }
    return totals;
}

bool SplitTally::Claim(const Job& job, std::size_t& chunk) {
    std::uint64_t next = next_.load();
    do {
        chunk = static_cast<std::size_t>(next & 0xFFFFFFFFU);
        if (next >> kGenerationShift != job.generation || chunk >= Chunks(job.count)) {
            return false;
        }
    } while (!next_.compare_exchange_weak(next, next + 1));
    return true;
}

void SplitTally::CountChunk(SymbolTally& tally, const Job& job, std::size_t chunk) {
    const std::size_t first = chunk * kChunk;
    tally.Add(job.bytes + first, std::min(kChunk, job.count - first));
}

void SplitTally::Help() {
    for (;;) {
        work_.acquire();
        Job job;
        {
            const std::lock_guard lock(jobLock_);
            if (stopping_) {
                return;
            }
            job = job_;
        }
        std::size_t chunk = 0;
        while (Claim(job, chunk)) {
            CountChunk(helped_, job, chunk);
            helperChunks_.fetch_add(1, std::memory_order_release);
        }
    }
}

}  // namespace velkor
