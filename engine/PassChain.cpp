#include "PassChain.h"

#include <algorithm>

namespace velkor {

PassChain::PassChain(std::size_t pieceSize) : pieceSize_(pieceSize) {}

void PassChain::Append(std::unique_ptr<PassStage> stage) {
    stages_.push_back(std::move(stage));
    // Every encryption pass may add a header in front of the piece it gets.
    const std::size_t room = pieceSize_ + stages_.size() * PassStage::kMaxHeader;
    for (auto& buffer : buffers_) {
        if (buffer.size() < room) {
            buffer.resize(room);
        }
    }
}

const std::uint8_t* PassChain::Push(const std::uint8_t* in, std::size_t count,
                                    std::size_t& produced, const RandomByteSource& random) {
    const std::uint8_t* piece = in;
    std::size_t length = count;
    int next = 0;
    for (auto& stage : stages_) {
        std::uint8_t* out = buffers_[next].data();
        length = stage->Push(piece, length, out, random);
        piece = out;
        next ^= 1;
    }
    produced = length;
    return piece;
}

const std::uint8_t* PassChain::Finish(std::size_t& produced, const RandomByteSource& random) {
    // What a pass gives out at its end still runs through the passes after it.
    const std::uint8_t* piece = nullptr;
    std::size_t length = 0;
    int next = 0;
    for (auto& stage : stages_) {
        std::uint8_t* out = buffers_[next].data();
        std::size_t made = length > 0 ? stage->Push(piece, length, out, random) : 0;
        made += stage->Finish(out + made, random);
        piece = out;
        length = made;
        next ^= 1;
    }
    produced = length;
    return piece;
}

bool PassChain::KeyMismatch() const {
    return std::any_of(stages_.begin(), stages_.end(),
                       [](const auto& stage) { return stage->KeyMismatch(); });
}

}  // namespace velkor
