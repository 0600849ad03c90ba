#include "CipherTransform.h"

#include <algorithm>

namespace velkor {

namespace {

using blocked::kBlock;
using blocked::Ring;
using blocked::Taps;
using blocked::XorAtLags;

// The widest vectors up to `vectorBytes` (any width for 0) that the processor
// runs. GCC's checks for AVX and AVX-512 include the system's XCR0: a system
// that does not save the wide registers has none.
const blocked::Kernels& KernelsFor(int vectorBytes) {
    const auto allowed = [&](int width) { return vectorBytes == 0 || vectorBytes >= width; };
    if (allowed(64) && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("gfni") &&
        __builtin_cpu_supports("pclmul")) {
        return blocked::Kernels64();
    }
    if (allowed(32) && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("pclmul")) {
        return blocked::Kernels32();
    }
    return blocked::Kernels16();
}

}  // namespace

CipherTransform::CipherTransform(const JobState& state, int vectorBytes)
    : indexes_(state),
      kernels_(&KernelsFor(vectorBytes)),
      encryptMode_(state.EncryptMode),
      swift_(state.Swift),
      keys_(state, indexes_, *kernels_),
      chain_(&ChainTablesFor(state.Swift)),
      chainState_(ChainState(state.ReversedOrder, state.ChainBit)) {
    SetUpTaps();
    LayOutRings();
    arena_.Allocate();
    LayOutRings();
    FillRings(state);
}

void CipherTransform::SetUpTaps() {
    const std::int64_t s1 = indexes_.short1;
    const std::int64_t s2 = indexes_.short2;
    const std::int64_t l1 = indexes_.long1;
    const std::int64_t l2 = indexes_.long2;
    tapsMixD_ = blocked::Cancelled(blocked::MakeTaps({s1, 33, s2}));
    tapsMixB_ = blocked::Cancelled(blocked::MakeTaps({l1, 255, l2}));
    tapsCoupled_ = blocked::Cancelled(blocked::MakeTaps({l1, 255, l2, s1, 33, s2}));
    const std::int64_t width = kernels_->width;
    vectorFrom_ = blocked::RoundUp((width - 1) * 255, width);
}

void CipherTransform::LayOutPipe(blocked::Pipe& pipe, Ring input, const Taps& lags, int maxLag) {
    // The fewest squarings after which every lag is either four vectors back,
    // so that its loads find their stores long done, or whole vectors, so
    // that they meet whole stores or the vector just made, or one the loops
    // make in registers: in 64-byte vectors half a vector, in 32-byte vectors
    // any number of half vectors. The 32-byte loops spend long enough on a
    // vector that two vectors back will do. At W squarings every lag is whole
    // vectors.
    const std::int64_t width = kernels_->width;
    const std::int64_t farBack = (width == 32 ? 2 : 4) * width;
    const auto ready = [&](int stages) {
        for (int i = 0; i < lags.count; ++i) {
            const std::int64_t lag = lags.lag[static_cast<std::size_t>(i)] << stages;
            if (lag < farBack && lag % width != 0 && (width != 64 || lag != width / 2) &&
                (width != 32 || lag % 16 != 0)) {
                return false;
            }
        }
        return true;
    };
    pipe.stages = 0;
    while (!ready(pipe.stages)) {
        ++pipe.stages;
    }
    pipe.stage[0] = input;
    for (int k = 0; k < pipe.stages; ++k) {
        const auto stage = static_cast<std::size_t>(k);
        pipe.taps[stage] = blocked::Scaled(lags, std::int64_t{1} << k);
        if (k > 0) {
            pipe.stage[stage] = arena_.Carve(blocked::BlockRing((std::int64_t{1} << k) * maxLag));
        }
    }
    if (pipe.stages > 0) {
        pipe.stage[static_cast<std::size_t>(pipe.stages)] = arena_.Carve(kBlock, false);
    }
    pipe.squared =
        blocked::WithNearTaps(blocked::Scaled(lags, std::int64_t{1} << pipe.stages), width);
}

// Run twice: to measure the arena, then to place the rings in it.
void CipherTransform::LayOutRings() {
    constexpr std::int64_t kWidest = blocked::kWidestVector;
    b_ = arena_.Carve(blocked::RecurrenceRing(kWidest * 255));
    d_ = arena_.Carve(blocked::RecurrenceRing(kWidest * 33));
    ownKeys_ = arena_.Carve(kBlock, false).data;
    if (encryptMode_) {
        auto& rings = encryptRings_;
        rings.plain = arena_.Carve(blocked::BlockRing(33));
        rings.mixD = arena_.Carve(blocked::BlockRing(255));
        rings.d = d_;
        rings.b = b_;
        LayOutPipe(rings.pipeD, rings.plain, tapsMixD_, 33);
        LayOutPipe(rings.pipeB, rings.mixD, tapsMixB_, 255);
    } else {
        auto& rings = decryptRings_;
        rings.guess = arena_.Carve(blocked::BlockRing(33));
        rings.guessMix = arena_.Carve(blocked::BlockRing(255));
        rings.d = d_;
        rings.b = b_;
        rings.mixD = tapsMixD_;
        rings.mixB = tapsMixB_;
        LayOutPipe(rings.coupled, rings.guessMix, tapsCoupled_, 255);
    }
}

void CipherTransform::FillRings(const JobState& state) {
    // Entry i of a table is the stream's value i places before the pass.
    for (std::int64_t i = 1; i <= 33; ++i) {
        d_.Put(-i, state.KeyRemainders[static_cast<std::size_t>(i - 1)]);
    }
    for (std::int64_t i = 1; i <= 255; ++i) {
        b_.Put(-i, state.MaskedKeyReversed[static_cast<std::size_t>(i - 1)]);
    }
    if (!encryptMode_) {
        for (std::int64_t i = 1; i <= 33; ++i) {
            decryptRings_.guess.Put(-i, b_.Get(-i) ^ d_.Get(-i));
        }
    }
}

template <bool kEncrypt>
std::uint8_t CipherTransform::Step(std::uint8_t in, std::uint8_t key, int& state) {
    const std::int64_t t = position_;
    pendingD_ = XorAtLags(d_, tapsMixD_, t);
    pendingB_ = XorAtLags(b_, tapsMixB_, t);
    if constexpr (kEncrypt) {
        const std::uint16_t coded = chain_->encode[state][pendingB_ ^ key ^ in];
        state = coded >> 8;
        return static_cast<std::uint8_t>(coded);
    } else {
        const std::uint16_t decoded = chain_->decode[state][in];
        state = decoded >> 8;
        return static_cast<std::uint8_t>(decoded ^ pendingB_ ^ key);
    }
}

void CipherTransform::Commit(std::uint8_t plain) {
    const std::int64_t t = position_;
    b_.Put(t, pendingB_ ^ pendingD_);
    d_.Put(t, pendingD_ ^ plain);
    if (encryptMode_) {
        encryptRings_.plain.Put(t, plain);
        encryptRings_.mixD.Put(t, pendingD_);
    } else {
        decryptRings_.guess.Put(t, plain ^ pendingB_);
        decryptRings_.guessMix.Put(t, XorAtLags(decryptRings_.guess, tapsMixD_, t));
    }
    ++position_;
    // The rings' first input reaches back less than a block, so filtering a
    // whole block at its end will do.
    if ((position_ & (kBlock - 1)) == 0) {
        CatchUpPipes();
    }
}

void CipherTransform::CatchUpPipes() {
    const std::int64_t upTo = position_ & -std::int64_t{kernels_->width};
    if (pipesFedTo_ < upTo) {
        FeedPipes(pipesFedTo_, upTo);
        pipesFedTo_ = upTo;
    }
}

void CipherTransform::FeedPipes(std::int64_t t0, std::int64_t t1) const {
    if (encryptMode_) {
        kernels_->feedPipe(encryptRings_.pipeD, t0, t1);
        kernels_->feedPipe(encryptRings_.pipeB, t0, t1);
    } else {
        kernels_->feedPipe(decryptRings_.coupled, t0, t1);
    }
}

template <bool kEncrypt>
void CipherTransform::Transform(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                                const std::uint8_t* keys) {
    // The coding state stays in a register; byte stores could alias a member.
    const auto steps = [&](std::size_t from, std::size_t to) {
        int state = chainState_;
        for (std::size_t i = from; i < to; ++i) {
            out[i] = Step<kEncrypt>(in[i], keys[i], state);
            Commit(kEncrypt ? in[i] : out[i]);
        }
        chainState_ = state;
    };
    const std::int64_t width = kernels_->width;
    std::size_t done = 0;
    while (done < count) {
        // The vector loops work within one block of the rings.
        const std::int64_t t = position_;
        const std::size_t run =
            std::min(count - done, static_cast<std::size_t>(kBlock - (t & (kBlock - 1))));
        std::size_t vectorStart = run;
        std::size_t vectorBytes = 0;
        if (kEncrypt == encryptMode_ && t >= vectorFrom_) {
            const auto head = static_cast<std::size_t>(-t & (width - 1));
            if (head < run) {
                vectorStart = head;
                vectorBytes = (run - head) / static_cast<std::size_t>(width) *
                              static_cast<std::size_t>(width);
            }
        }
        steps(done, done + vectorStart);
        if (vectorBytes > 0) {
            const std::size_t at = done + vectorStart;
            const std::int64_t end = position_ + static_cast<std::int64_t>(vectorBytes);
            CatchUpPipes();
            blocked::ChainScan scan{(chainState_ & 2) != 0, (chainState_ & 1) != 0, !swift_};
            if constexpr (kEncrypt) {
                kernels_->encrypt(encryptRings_, keys + at, in + at, out + at, scan, position_,
                                  end);
            } else {
                kernels_->decrypt(decryptRings_, keys + at, in + at, out + at, scan, position_,
                                  end);
            }
            chainState_ = ChainState(scan.reversed, scan.chainBit ? 1 : 0);
            position_ = end;
            pipesFedTo_ = end;
        }
        steps(done + vectorStart + vectorBytes, done + run);
        done += run;
    }
}

// A block of key bytes at a time, ending where the rings' blocks end, so that
// the key stream makes whole blocks straight into ownKeys_.
template <bool kEncrypt>
std::size_t CipherTransform::WithOwnKeys(const std::uint8_t* in, std::uint8_t* out,
                                         std::size_t count, const bool& running) {
    std::size_t done = 0;
    while (done < count && running) {
        const std::size_t run =
            std::min(count - done, static_cast<std::size_t>(kBlock - (position_ & (kBlock - 1))));
        keys_.Make(ownKeys_, run);
        Transform<kEncrypt>(in + done, out + done, run, ownKeys_);
        done += run;
    }
    return done;
}

std::size_t CipherTransform::Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                                     const bool& running) {
    return WithOwnKeys<true>(in, out, count, running);
}

std::size_t CipherTransform::Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                                     const bool& running) {
    return WithOwnKeys<false>(in, out, count, running);
}

void CipherTransform::Encrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                              const std::uint8_t* keys) {
    Transform<true>(in, out, count, keys);
}

void CipherTransform::Decrypt(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                              const std::uint8_t* keys) {
    Transform<false>(in, out, count, keys);
}

std::uint8_t CipherTransform::DecryptStep(std::uint8_t cipherByte) {
    std::uint8_t key = 0;
    keys_.Make(&key, 1);
    return DecryptStep(cipherByte, key);
}

std::uint8_t CipherTransform::DecryptStep(std::uint8_t cipherByte, std::uint8_t key) {
    return Step<false>(cipherByte, key, chainState_);
}

void CipherTransform::Feedback(std::uint8_t plainByte) {
    Commit(plainByte);
}

}  // namespace velkor
