#include "PassStage.h"

namespace velkor {

namespace {

// One less than the shortest header: fewer matching bytes mean another key.
constexpr std::size_t kHeaderMinimum = 13;

// Stages run on the job's own thread and stop only between pieces.
constexpr bool kRunning = true;

}  // namespace

PassStage::PassStage(const JobState& state, bool encrypt, int vectorBytes)
    : transform_(state, vectorBytes), expandedKey_(state.ExpandedKey), encrypt_(encrypt) {}

PassStage::~PassStage() {
    SecureZero(expandedKey_.data(), expandedKey_.size());
}

// n in 14..256. A length whose next key byte equals the first input byte is
// drawn again, so that decryption never takes that byte for header.
std::size_t PassStage::DrawHeaderLength(const std::uint8_t* firstByte,
                                        const RandomByteSource& random) {
    while (true) {
        const int n = static_cast<int>(kMaxHeader) - (random() & 0xFF);
        if (n <= static_cast<int>(kHeaderMinimum)) {
            continue;
        }
        const auto length = static_cast<std::size_t>(n);
        if (firstByte != nullptr && length < kMaxHeader && expandedKey_[length] == *firstByte) {
            continue;
        }
        return length;
    }
}

std::size_t PassStage::PutHeader(std::uint8_t* out, std::size_t length, const std::uint8_t* keys) {
    headerPending_ = false;
    Encrypt(expandedKey_.data(), out, length, keys);
    return length;
}

void PassStage::Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                        const std::uint8_t* keys) {
    if (keys != nullptr) {
        transform_.Encrypt(in, out, count, keys);
    } else {
        transform_.Encrypt(in, out, count, kRunning);
    }
}

void PassStage::Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                        const std::uint8_t* keys) {
    if (keys != nullptr) {
        transform_.Decrypt(in, out, count, keys);
    } else {
        transform_.Decrypt(in, out, count, kRunning);
    }
}

std::size_t PassStage::DecryptHeader(const std::uint8_t* in, std::size_t count, std::uint8_t* out,
                                     std::size_t& used, const std::uint8_t* keys) {
    used = 0;
    while (headerPending_ && used < count) {
        const std::uint8_t y = keys != nullptr ? transform_.DecryptStep(in[used], keys[used])
                                               : transform_.DecryptStep(in[used]);
        ++used;
        transform_.Feedback(y);
        if (headerMatched_ < kMaxHeader && y == expandedKey_[headerMatched_]) {
            ++headerMatched_;
            continue;
        }
        headerPending_ = false;
        if (headerMatched_ < kHeaderMinimum) {
            keyMismatch_ = true;
            return 0;
        }
        out[0] = y;
        return 1;
    }
    return 0;
}

void PassStage::MakeKeysAhead(const std::uint8_t* in, std::size_t count,
                              const RandomByteSource& random) {
    if (count == 0) {
        return;
    }
    std::size_t needed = count;
    if (!keysAhead_) {
        keysAhead_ = true;
        if (encrypt_) {
            drawnHeader_ = DrawHeaderLength(in, random);
            needed += drawnHeader_;
        }
    }
    auto& keys = ahead_[aheadMade_++ % ahead_.size()];
    if (keys.size() < needed) {
        keys.resize(needed);
    }
    transform_.Keys().Make(keys.data(), needed);
}

std::size_t PassStage::Push(const std::uint8_t* in, std::size_t count, std::uint8_t* out,
                            const RandomByteSource& random) {
    if (keyMismatch_ || count == 0) {
        return 0;
    }
    const std::uint8_t* keys = keysAhead_ ? ahead_[aheadUsed_++ % ahead_.size()].data() : nullptr;
    if (encrypt_) {
        std::size_t header = 0;
        if (headerPending_) {
            header =
                PutHeader(out, keys != nullptr ? drawnHeader_ : DrawHeaderLength(in, random), keys);
        }
        Encrypt(in, out + header, count, keys != nullptr ? keys + header : nullptr);
        return header + count;
    }
    std::size_t used = 0;
    const std::size_t first = DecryptHeader(in, count, out, used, keys);
    if (keyMismatch_) {
        return 0;
    }
    Decrypt(in + used, out + first, count - used, keys != nullptr ? keys + used : nullptr);
    return first + count - used;
}

std::size_t PassStage::Finish(std::uint8_t* out, const RandomByteSource& random) {
    if (encrypt_) {
        return headerPending_ ? PutHeader(out, DrawHeaderLength(nullptr, random), nullptr) : 0;
    }
    if (headerPending_ && headerMatched_ < kHeaderMinimum) {
        // The input ended inside what should have been the header.
        keyMismatch_ = true;
    }
    return 0;
}

}  // namespace velkor
