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
    first_.from = 0;
    first_.to = Split();
    second_.from = first_.to;
    second_.to = stages_.size();
    // Every encryption pass may add a header in front of the piece it gets.
    const std::size_t room = pieceSize_ + stages_.size() * PassStage::kMaxHeader;
    const auto reserve = [room](SecretBytes& buffer) {
        if (buffer.size() < room) {
            buffer.resize(room);
        }
    };
    for (Half* half : {&first_, &second_}) {
        if (half->from < half->to) {
            std::for_each(std::begin(half->buffers), std::end(half->buffers), reserve);
        }
    }
    if (second_.from < second_.to) {
        reserve(staged_);
        reserve(handed_);
        reserve(collected_);
    }
    if (!AllOnWorker()) {
        reserve(input_);
    }
}

bool PassChain::AllOnWorker() const {
    return first_.from == first_.to && second_.from < second_.to;
}

std::uint8_t* PassChain::NextInput() {
    Reserve();
    return AllOnWorker() ? staged_.data() : input_.data();
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

std::size_t PassChain::Take() {
    if (!inFlight_) {
        return 0;
    }
    worker_.Wait();
    inFlight_ = false;
    const auto holder =
        std::find_if(std::begin(second_.buffers), std::end(second_.buffers),
                     [this](const auto& buffer) { return buffer.data() == result_; });
    holder->swap(collected_);
    return resultLength_;
}

bool PassChain::Push(const std::uint8_t* in, std::size_t count, const RandomByteSource& random,
                     const Sink& sink) {
    // The buffers hold pieceSize bytes: a larger piece goes in parts.
    for (; count > pieceSize_; in += pieceSize_, count -= pieceSize_) {
        if (!Push(in, pieceSize_, random, sink)) {
            return false;
        }
    }
    Reserve();
    std::size_t length = count;
    const std::uint8_t* middle = Run(first_, in, length, random, false);
    if (second_.from == second_.to) {
        return length == 0 || sink(middle, length);
    }
    // While the worker finishes the piece before, the caller makes this
    // piece's key bytes when every pass is on the worker, and stages the
    // piece: one in our buffers by a swap, one the caller put elsewhere than
    // NextInput by a copy.
    if (AllOnWorker()) {
        stages_[second_.from]->MakeKeysAhead(middle, length, random);
    }
    const auto holder =
        std::find_if(std::begin(first_.buffers), std::end(first_.buffers),
                     [middle](const auto& buffer) { return buffer.data() == middle; });
    if (holder != std::end(first_.buffers)) {
        holder->swap(staged_);
    } else if (middle != staged_.data()) {
        std::memcpy(staged_.data(), middle, length);
    }
    // The worker goes on at once; the output it gave goes to the sink after.
    const std::size_t done = Take();
    staged_.swap(handed_);
    handedLength_ = length;
    handedRandom_ = &random;
    inFlight_ = true;
    worker_.Hand([this] {
        resultLength_ = handedLength_;
        result_ = Run(second_, handed_.data(), resultLength_, *handedRandom_, false);
    });
    return done == 0 || sink(collected_.data(), done);
}

bool PassChain::Finish(const RandomByteSource& random, const Sink& sink) {
    const std::size_t done = Take();
    if (done > 0 && !sink(collected_.data(), done)) {
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
