#include "CipherTransform.h"

#include <algorithm>
#include <cstring>

namespace velkor {

namespace {

constexpr std::array<std::uint8_t, 256> MakeReverseTable() {
    std::array<std::uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        int reversed = 0;
        for (int bit = 0; bit < 8; ++bit) {
            reversed |= ((value >> bit) & 1) << (7 - bit);
        }
        table[value] = static_cast<std::uint8_t>(reversed);
    }
    return table;
}

constexpr auto kReverse = MakeReverseTable();

}  // namespace

CipherTransform::CipherTransform(const JobState& state)
    : register8_(state.Register8.data(), 8, {8, 5, 3, 1}),
      register11_(state.Register11.data(), 11, {11, 2}),
      register236_(state.Register236.data(), 236, {236, 5}),
      chain_(ChainTablesFor(state.Swift)),
      chainState_(ChainState(state.ReversedOrder, state.ChainBit)) {
    if (!state.Swift) {
        register999_.emplace(state.Register999.data(), 999, std::vector<int>{999, 59});
    }
    cell8_ = state.Register8[7];
    SetUpIndexes(state);
    // Entry i of a table sits i places before its first new entry; the first
    // refill moves a and c to the front.
    for (std::size_t i = 1; i <= kShort; ++i) {
        a_[kChunk + kShort - i] = state.KeyRemaindersCopy[i - 1];
        d_[kShort - i] = state.KeyRemainders[i - 1];
    }
    for (std::size_t i = 1; i <= kLong; ++i) {
        c_[kChunk + kLong - i] = state.KeyReversed[i - 1];
        b_[kLong - i] = state.MaskedKeyReversed[i - 1];
    }
}

CipherTransform::~CipherTransform() {
    SecureZero(a_.data(), a_.size());
    SecureZero(b_.data(), b_.size());
    SecureZero(c_.data(), c_.size());
    SecureZero(d_.data(), d_.size());
    SecureZero(mix_.data(), mix_.size());
}

void CipherTransform::SetUpIndexes(const JobState& state) {
    const int e = state.PassKeyExtension;
    longIndex1_ = (e % 254) + 1;
    shortIndex1_ = (256 * longIndex1_) % 33;
    if (shortIndex1_ == 0) {
        shortIndex1_ = (longIndex1_ % 32) + 1;
    }
    longIndex2_ = state.PassKey[longIndex1_] % 255;
    if (longIndex2_ == 0) {
        longIndex2_ = ((e ^ shortIndex1_) % 254) + 1;
    }
    shortIndex2_ = state.PassKey[longIndex2_] % 33;
    if (shortIndex2_ == 0) {
        shortIndex2_ = ((longIndex1_ ^ longIndex2_) % 32) + 1;
    }
}

void CipherTransform::Refill() {
    std::memmove(a_.data(), a_.data() + kChunk, kShort);
    std::memmove(c_.data(), c_.data() + kChunk, kLong);
    const std::ptrdiff_t s1 = shortIndex1_;
    const std::ptrdiff_t s2 = shortIndex2_;
    const std::ptrdiff_t s3 = ((shortIndex1_ + shortIndex2_) % 32) + 1;
    const std::ptrdiff_t l1 = longIndex1_;
    const std::ptrdiff_t l2 = longIndex2_;
    const std::ptrdiff_t l3 = ((longIndex2_ + longIndex1_) % 254) + 1;
    constexpr auto kA = static_cast<std::ptrdiff_t>(kShort);
    constexpr auto kC = static_cast<std::ptrdiff_t>(kLong);
    std::uint8_t* a = a_.data() + kShort;
    std::uint8_t* c = c_.data() + kLong;
    for (std::ptrdiff_t word = 0; word < static_cast<std::ptrdiff_t>(kChunk / 8); ++word) {
        const std::uint64_t cells8 = register8_.Next();
        std::uint64_t keystream = cells8 ^ register11_.Next() ^ register236_.Next();
        if (register999_) {
            keystream ^= register999_->Next();
        }
        for (int k = 0; k < 8; ++k) {
            const std::ptrdiff_t t = word * 8 + k;
            a[t] = a[t - s1] ^ a[t - kA] ^ a[t - s2] ^ a[t - s3];
            c[t] = c[t - l1] ^ c[t - kC] ^ c[t - l2] ^ c[t - l3];
            std::uint8_t mix = a[t] ^ c[t];
            if (cell8_ == 0) {
                mix = static_cast<std::uint8_t>(~mix);
            }
            // The first clock of the byte moves into cell 8 eight clocks later.
            cell8_ = static_cast<std::uint8_t>((cells8 >> (8 * k)) & 1);
            mix_[t] = mix ^ kReverse[(keystream >> (8 * k)) & 0xFF];
        }
    }
    mixNext_ = 0;
}

void CipherTransform::SlideTables() {
    std::memmove(b_.data(), b_.data() + next_, kLong);
    std::memmove(d_.data(), d_.data() + next_, kShort);
    next_ = 0;
}

std::size_t CipherTransform::Room() {
    if (mixNext_ == kChunk) {
        Refill();
    }
    if (next_ == kChunk) {
        SlideTables();
    }
    return std::min(kChunk - mixNext_, kChunk - next_);
}

template <bool kEncrypt>
std::size_t CipherTransform::Transform(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                                       const bool& running) {
    std::size_t done = 0;
    while (done < count) {
        const std::size_t run = std::min(Room(), count - done);
        const std::uint8_t* source = in + done;
        std::uint8_t* target = out + done;
        std::uint8_t* b = b_.data() + kLong + next_;
        std::uint8_t* d = d_.data() + kShort + next_;
        const std::uint8_t* mix = mix_.data() + mixNext_;
        const std::ptrdiff_t s1 = shortIndex1_;
        const std::ptrdiff_t s2 = shortIndex2_;
        const std::ptrdiff_t l1 = longIndex1_;
        const std::ptrdiff_t l2 = longIndex2_;
        constexpr auto kD = static_cast<std::ptrdiff_t>(kShort);
        constexpr auto kB = static_cast<std::ptrdiff_t>(kLong);
        const auto length = static_cast<std::ptrdiff_t>(run);
        int state = chainState_;
        std::ptrdiff_t i = 0;
        for (; i < length && running; ++i) {
            const auto mixD = static_cast<std::uint8_t>(d[i - s1] ^ d[i - kD] ^ d[i - s2]);
            const auto mixB = static_cast<std::uint8_t>(b[i - l1] ^ b[i - kB] ^ b[i - l2]);
            std::uint8_t plain = 0;
            if constexpr (kEncrypt) {
                plain = source[i];
                const std::uint16_t coded = chain_.encode[state][mixB ^ mix[i] ^ plain];
                target[i] = static_cast<std::uint8_t>(coded);
                state = coded >> 8;
            } else {
                const std::uint16_t decoded = chain_.decode[state][source[i]];
                state = decoded >> 8;
                plain = static_cast<std::uint8_t>(decoded ^ mixB ^ mix[i]);
                target[i] = plain;
            }
            b[i] = mixB ^ mixD;
            d[i] = mixD ^ plain;
        }
        chainState_ = state;
        const auto transformed = static_cast<std::size_t>(i);
        next_ += transformed;
        mixNext_ += transformed;
        done += transformed;
        if (transformed < run) {
            break;
        }
    }
    return done;
}

std::size_t CipherTransform::Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                                     const bool& running) {
    return Transform<true>(in, out, count, running);
}

std::size_t CipherTransform::Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                                     const bool& running) {
    return Transform<false>(in, out, count, running);
}

std::uint8_t CipherTransform::DecryptStep(std::uint8_t cipherByte) {
    Room();
    const std::uint8_t* b = b_.data() + kLong + next_;
    const std::uint8_t* d = d_.data() + kShort + next_;
    pendingD_ = d[-shortIndex1_] ^ d[-static_cast<std::ptrdiff_t>(kShort)] ^ d[-shortIndex2_];
    pendingB_ = b[-longIndex1_] ^ b[-static_cast<std::ptrdiff_t>(kLong)] ^ b[-longIndex2_];
    const std::uint16_t decoded = chain_.decode[chainState_][cipherByte];
    chainState_ = decoded >> 8;
    return static_cast<std::uint8_t>(decoded ^ pendingB_ ^ mix_[mixNext_]);
}

void CipherTransform::Feedback(std::uint8_t plainByte) {
    b_[kLong + next_] = pendingB_ ^ pendingD_;
    d_[kShort + next_] = pendingD_ ^ plainByte;
    ++next_;
    ++mixNext_;
}

}  // namespace velkor
