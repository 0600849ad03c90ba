#include "PassChain.h"

#include <algorithm>
#include <cstring>

namespace velkor {

PassChain::PassChain(std::size_t pieceSize, bool useSecondThread)
    : pieceSize_(pieceSize), useSecondThread_(useSecondThread) {}

void PassChain::Append(std::unique_ptr<PassStage> stage) {
    Drop();
    stages_.push_back(std::move(stage));
    reserved_ = false;
}

void PassChain::Clear() {
    Drop();
    stages_.clear();
    reserved_ = false;
}

void PassChain::Drop() {
    worker_.Wait();
    inFlight_ = false;
}

// Half of the passes on each thread, the odd one on the worker, since the
// caller reads and hands on besides; so a single pass overlaps the reading
// and writing.
std::size_t PassChain::Split() const {
    return useSecondThread_ ? stages_.size() / 2 : stages_.size();
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

bool PassChain::Collect(const Sink& sink) {
    if (!inFlight_) {
        return true;
    }
    worker_.Wait();
    inFlight_ = false;
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
    if (!Collect(sink)) {
        return false;
    }
    // A piece in one of our buffers changes hands by a swap; the caller's
    // own input, with no passes before the worker's, is copied.
    const auto holder =
        std::find_if(std::begin(first_.buffers), std::end(first_.buffers),
                     [middle](const auto& buffer) { return buffer.data() == middle; });
    if (holder != std::end(first_.buffers)) {
        holder->swap(handed_);
    } else {
        std::memcpy(handed_.data(), middle, length);
    }
    handedLength_ = length;
    handedRandom_ = &random;
    inFlight_ = true;
    worker_.Hand([this] {
        resultLength_ = handedLength_;
        result_ = Run(second_, handed_.data(), resultLength_, *handedRandom_, false);
    });
    return true;
}

bool PassChain::Finish(const RandomByteSource& random, const Sink& sink) {
    if (!Collect(sink)) {
        return false;
    }
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
