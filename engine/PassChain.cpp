#include "PassChain.h"

#include <algorithm>
#include <cstring>

namespace velkor {

PassChain::PassChain(std::size_t pieceSize, bool useSecondThread)
    : pieceSize_(pieceSize), useSecondThread_(useSecondThread) {}

PassChain::~PassChain() {
    StopWorker();
}

void PassChain::Append(std::unique_ptr<PassStage> stage) {
    StopWorker();
    stages_.push_back(std::move(stage));
    reserved_ = false;
}

void PassChain::Clear() {
    StopWorker();
    stages_.clear();
    reserved_ = false;
}

// The caller reads and writes besides, so it keeps fewer passes than the
// worker; a single pass goes to the worker, so that the reading and writing
// overlap it.
std::size_t PassChain::Split() const {
    return useSecondThread_ && !stages_.empty() ? (stages_.size() - 1) / 2 : stages_.size();
}

void PassChain::Reserve() {
    if (reserved_) {
        return;
    }
    reserved_ = true;
    // Every encryption pass may add a header in front of the piece it gets.
    const std::size_t room = pieceSize_ + stages_.size() * PassStage::kMaxHeader;
    for (Half* half : {&first_, &second_}) {
        for (auto& buffer : half->buffers) {
            if (buffer.size() < room) {
                buffer.resize(room);
            }
        }
    }
    if (handed_.size() < room) {
        handed_.resize(room);
    }
    first_.from = 0;
    first_.to = Split();
    second_.from = first_.to;
    second_.to = stages_.size();
}

const std::uint8_t* PassChain::Run(Half& half, const std::uint8_t* in, std::size_t& length,
                                   const RandomByteSource& random, bool finish) {
    const std::uint8_t* piece = in;
    int next = 0;
    for (std::size_t i = half.from; i < half.to; ++i) {
        std::uint8_t* out = half.buffers[next].data();
        std::size_t made = length > 0 ? stages_[i]->Push(piece, length, out, random) : 0;
        if (finish) {
            made += stages_[i]->Finish(out + made, random);
        }
        piece = out;
        length = made;
        next ^= 1;
    }
    return piece;
}

void PassChain::StartWorker() {
    if (worker_.joinable() || second_.from == second_.to) {
        return;
    }
    quit_ = false;
    worker_ = std::thread([this] { Work(); });
}

void PassChain::StopWorker() {
    if (!worker_.joinable()) {
        return;
    }
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !pieceWaiting_; });
        quit_ = true;
    }
    changed_.notify_all();
    worker_.join();
    inFlight_ = false;
    resultReady_ = false;
}

void PassChain::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return pieceWaiting_ || quit_; });
        if (quit_ && !pieceWaiting_) {
            return;
        }
        std::size_t length = handedLength_;
        const RandomByteSource& random = *handedRandom_;
        lock.unlock();
        const std::uint8_t* out = Run(second_, handed_.data(), length, random, false);
        lock.lock();
        result_ = out;
        resultLength_ = length;
        pieceWaiting_ = false;
        resultReady_ = true;
        changed_.notify_all();
    }
}

// Waits for the piece the worker has, and hands its output on.
bool PassChain::Collect(const Sink& sink) {
    if (!inFlight_) {
        return true;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return resultReady_; });
    resultReady_ = false;
    inFlight_ = false;
    lock.unlock();
    return resultLength_ == 0 || sink(result_, resultLength_);
}

bool PassChain::Push(const std::uint8_t* in, std::size_t count, const RandomByteSource& random,
                     const Sink& sink) {
    Reserve();
    std::size_t length = count;
    const std::uint8_t* middle = Run(first_, in, length, random, false);
    if (second_.from == second_.to) {
        return length == 0 || sink(middle, length);
    }
    StartWorker();
    if (!Collect(sink)) {
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        std::memcpy(handed_.data(), middle, length);
        handedLength_ = length;
        handedRandom_ = &random;
        pieceWaiting_ = true;
        inFlight_ = true;
    }
    changed_.notify_all();
    return true;
}

bool PassChain::Finish(const RandomByteSource& random, const Sink& sink) {
    if (!Collect(sink)) {
        return false;
    }
    StopWorker();
    Reserve();
    // What a pass gives out at its end still runs through the passes after it.
    std::size_t length = 0;
    const std::uint8_t* middle = Run(first_, nullptr, length, random, true);
    const std::uint8_t* out = Run(second_, middle, length, random, true);
    return length == 0 || sink(out, length);
}

bool PassChain::KeyMismatch() const {
    // The worker's passes are looked at only while it has no piece.
    const std::size_t seen = inFlight_ ? first_.to : stages_.size();
    return std::any_of(stages_.begin(), stages_.begin() + static_cast<std::ptrdiff_t>(seen),
                       [](const auto& stage) { return stage->KeyMismatch(); });
}

}  // namespace velkor
