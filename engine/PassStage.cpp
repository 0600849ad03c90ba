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
std::size_t PassStage::PutHeader(std::uint8_t* out, const std::uint8_t* firstByte,
                                 const RandomByteSource& random) {
    std::size_t length = 0;
    while (true) {
        const int n = static_cast<int>(kMaxHeader) - (random() & 0xFF);
        if (n <= static_cast<int>(kHeaderMinimum)) {
            continue;
        }
        length = static_cast<std::size_t>(n);
        if (firstByte != nullptr && length < kMaxHeader && expandedKey_[length] == *firstByte) {
            continue;
        }
        break;
    }
    headerPending_ = false;
    return transform_.Encrypt(expandedKey_.data(), out, length, kRunning);
}

std::size_t PassStage::DecryptHeader(const std::uint8_t* in, std::size_t count, std::uint8_t* out,
                                     std::size_t& used) {
    used = 0;
    while (headerPending_ && used < count) {
        const std::uint8_t y = transform_.DecryptStep(in[used++]);
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

std::size_t PassStage::Push(const std::uint8_t* in, std::size_t count, std::uint8_t* out,
                            const RandomByteSource& random) {
    if (keyMismatch_ || count == 0) {
        return 0;
    }
    if (encrypt_) {
        const std::size_t header = headerPending_ ? PutHeader(out, in, random) : 0;
        return header + transform_.Encrypt(in, out + header, count, kRunning);
    }
    std::size_t used = 0;
    const std::size_t first = DecryptHeader(in, count, out, used);
    if (keyMismatch_) {
        return 0;
    }
    return first + transform_.Decrypt(in + used, out + first, count - used, kRunning);
}

std::size_t PassStage::Finish(std::uint8_t* out, const RandomByteSource& random) {
    if (encrypt_) {
        return headerPending_ ? PutHeader(out, nullptr, random) : 0;
    }
    if (headerPending_ && headerMatched_ < kHeaderMinimum) {
        // The input ended inside what should have been the header.
        keyMismatch_ = true;
    }
    return 0;
}

}  // namespace velkor
