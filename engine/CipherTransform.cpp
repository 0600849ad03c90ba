#include "CipherTransform.h"

#include <string.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace velkor {

namespace {

using blocked::Ring;
using blocked::Taps;

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

// Registers 8, 11, 236 and 999: length and tap positions; the period of the
// bytes of the short two, whose tap polynomials are primitive; the squaring
// factor of the long two in eighths of the vector width, after which the
// shortest lag reaches four or more vectors back, so that a vector's loads
// never wait for the stores just before them.
struct RegisterShape {
    int length;
    std::array<int, 4> taps;
    int tapCount;
    std::int64_t period;
    std::int64_t factorEighths;
};
constexpr std::array<RegisterShape, 4> kRegisters{{
    {8, {8, 5, 3, 1}, 4, 255, 0},
    {11, {11, 2, 0, 0}, 2, 2047, 0},
    {236, {236, 5, 0, 0}, 2, 0, 8},
    {999, {999, 59, 0, 0}, 2, 0, 1},
}};
constexpr std::size_t kRegister999 = 3;

Taps MakeTaps(std::initializer_list<std::int64_t> lags) {
    Taps taps;
    for (const auto lag : lags) {
        taps.lag[static_cast<std::size_t>(taps.count++)] = lag;
    }
    return taps;
}

// The same relation without the pairs of equal lags, which cancel: fewer
// loads, and a lag that cancels asks for no squaring.
Taps Cancelled(const Taps& taps) {
    Taps kept;
    for (int i = 0; i < taps.count; ++i) {
        const std::int64_t lag = taps.lag[static_cast<std::size_t>(i)];
        const auto end = kept.lag.begin() + kept.count;
        const auto same = std::find(kept.lag.begin(), end, lag);
        if (same != end) {
            *same = kept.lag[static_cast<std::size_t>(--kept.count)];
        } else {
            kept.lag[static_cast<std::size_t>(kept.count++)] = lag;
        }
    }
    return kept;
}

// Odd numbers of half vectors that the 32-byte loops take from registers.
bool OddHalvesNear(std::int64_t lag, std::int64_t width) {
    return width == 32 && lag % 32 == 16 && lag >= 48 && lag <= 112;
}

// Moves the lags of a whole and of half a vector, and in 32-byte vectors of a
// few half vectors, out into the flags that the vector loops take from
// registers, pairs cancelling.
Taps WithNearTaps(Taps taps, std::int64_t width) {
    for (int i = 0; i < taps.count;) {
        auto& lag = taps.lag[static_cast<std::size_t>(i)];
        bool* near = lag == width                      ? &taps.wholeVector
                     : lag == width / 2 && width >= 32 ? &taps.halfVector
                                                       : nullptr;
        if (near != nullptr) {
            *near = !*near;
        } else if (OddHalvesNear(lag, width)) {
            taps.oddHalves ^= 1 << ((lag / 16 - 3) / 2);
        } else {
            ++i;
            continue;
        }
        lag = taps.lag[static_cast<std::size_t>(--taps.count)];
    }
    return taps;
}

Taps Scaled(Taps taps, std::int64_t factor) {
    for (auto& lag : taps.lag) {
        lag *= factor;
    }
    return taps;
}

std::uint8_t XorAtLags(const Ring& ring, const Taps& taps, std::int64_t t) {
    std::uint8_t sum = 0;
    for (int i = 0; i < taps.count; ++i) {
        sum ^= ring.Get(t - taps.lag[static_cast<std::size_t>(i)]);
    }
    return sum;
}

std::int64_t RoundUp(std::int64_t value, std::int64_t step) {
    return (value + step - 1) / step * step;
}

constexpr std::int64_t kWidestVector = 64;

std::int64_t PowerOfTwo(std::int64_t size) {
    return static_cast<std::int64_t>(std::bit_ceil(static_cast<std::uint64_t>(size)));
}

// A ring writes its first block twice; in rings of four blocks or more only
// every fourth block of the stream pays for that.
constexpr std::int64_t kSmallestRing = 4 * blocked::kBlock;

// A ring read up to `reach` positions back from anywhere in a block written
// before.
std::int64_t BlockRing(std::int64_t reach) {
    return std::max(PowerOfTwo(reach + blocked::kBlock), kSmallestRing);
}

// A ring of a recurrence that reaches back `reach` positions, read a block at
// a time, Register8's one position before the block.
std::int64_t RecurrenceRing(std::int64_t reach) {
    return std::max(PowerOfTwo(std::max(reach, blocked::kBlock) + kWidestVector), kSmallestRing);
}

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
    : kernels_(&KernelsFor(vectorBytes)),
      encryptMode_(state.EncryptMode),
      swift_(state.Swift),
      chain_(&ChainTablesFor(state.Swift)),
      chainState_(ChainState(state.ReversedOrder, state.ChainBit)) {
    SetUpIndexes(state);
    SetUpTaps();
    LayOutRings();
    // The vector loops' aligned loads may run a vector past the last ring.
    arenaSize_ = arenaUsed_ + sizeof(CacheLine);
    arena_ = std::make_unique<CacheLine[]>(arenaSize_ / sizeof(CacheLine));
    arenaUsed_ = 0;
    LayOutRings();
    FillRings(state);
}

CipherTransform::~CipherTransform() {
    if (arena_) {
        // SecureZero goes byte by byte, far too slow for a pass's rings.
        explicit_bzero(arena_.get(), arenaSize_);
    }
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

void CipherTransform::SetUpTaps() {
    const std::int64_t width = kernels_->width;
    const std::int64_t s1 = shortIndex1_;
    const std::int64_t s2 = shortIndex2_;
    const std::int64_t l1 = longIndex1_;
    const std::int64_t l2 = longIndex2_;
    tapsA_ = MakeTaps({s1, 33, s2, ((s1 + s2) % 32) + 1});
    tapsC_ = MakeTaps({l1, 255, l2, ((l2 + l1) % 254) + 1});
    tapsMixD_ = Cancelled(MakeTaps({s1, 33, s2}));
    tapsMixB_ = Cancelled(MakeTaps({l1, 255, l2}));
    tapsCoupled_ = Cancelled(MakeTaps({l1, 255, l2, s1, 33, s2}));
    aVectorFrom_ = RoundUp((width - 1) * 33, blocked::kBlock);
    cVectorFrom_ = RoundUp((width - 1) * 255, blocked::kBlock);
    vectorFrom_ = RoundUp((width - 1) * 255, width);

    // A register's bytes follow its own taps once squared eight times; a
    // factor F more gives lags F times the taps. A register with a period
    // repeats its bytes: one lag, the first multiple of the period that
    // reaches four vectors back. Either is valid from its longest lag on.
    for (std::size_t r = 0; r < kRegisters.size(); ++r) {
        const auto& shape = kRegisters[r];
        Taps taps;
        if (shape.period != 0) {
            taps = MakeTaps({RoundUp(4 * width, shape.period)});
        } else {
            const std::int64_t factor = width * shape.factorEighths / 8;
            for (int i = 0; i < shape.tapCount; ++i) {
                taps.lag[static_cast<std::size_t>(i)] =
                    factor * shape.taps[static_cast<std::size_t>(i)];
            }
            taps.count = shape.tapCount;
        }
        registerTaps_[r] = taps;
        registerVectorFrom_[r] =
            RoundUp(*std::max_element(taps.lag.begin(), taps.lag.end()), blocked::kBlock);
    }
    keyVectorFrom_ =
        std::max({aVectorFrom_, cVectorFrom_, registerVectorFrom_[0], registerVectorFrom_[1],
                  registerVectorFrom_[2], registerVectorFrom_[3]});
}

Ring CipherTransform::Carve(std::int64_t size, bool readBack) {
    Ring ring;
    ring.mask = size - 1;
    if (arena_) {
        ring.data = reinterpret_cast<std::uint8_t*>(arena_.get()) + arenaUsed_;
    }
    // Only a ring read at a lag needs its first block repeated.
    ring.repeated = readBack ? Ring::kMirror : 0;
    arenaUsed_ += static_cast<std::size_t>(RoundUp(size + ring.repeated, 64));
    return ring;
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
        pipe.taps[stage] = Scaled(lags, std::int64_t{1} << k);
        if (k > 0) {
            pipe.stage[stage] = Carve(BlockRing((std::int64_t{1} << k) * maxLag));
        }
    }
    if (pipe.stages > 0) {
        pipe.stage[static_cast<std::size_t>(pipe.stages)] = Carve(blocked::kBlock, false);
    }
    pipe.squared = WithNearTaps(Scaled(lags, std::int64_t{1} << pipe.stages), width);
}

// Run twice: to measure the arena, then to place the rings in it.
void CipherTransform::LayOutRings() {
    constexpr std::int64_t kWidest = kWidestVector;
    a_ = Carve(RecurrenceRing(kWidest * 33));
    c_ = Carve(RecurrenceRing(kWidest * 255));
    b_ = Carve(RecurrenceRing(kWidest * 255));
    d_ = Carve(RecurrenceRing(kWidest * 33));
    key_ = Carve(blocked::kBlock, false).data;
    for (std::size_t r = 0; r < kRegisters.size(); ++r) {
        if (r != kRegister999 || !swift_) {
            std::int64_t reach = 0;
            for (const auto lag : registerTaps_[r].lag) {
                reach = std::max(reach, lag);
            }
            registers_[r] = Carve(RecurrenceRing(reach));
        }
    }
    keySources_.a = a_;
    keySources_.c = c_;
    keySources_.registers = registers_;
    keySources_.aTaps = WithNearTaps(Scaled(tapsA_, kernels_->width), kernels_->width);
    keySources_.cTaps = WithNearTaps(Scaled(tapsC_, kernels_->width), kernels_->width);
    keySources_.registerTaps = registerTaps_;
    keySources_.withRegister999 = !swift_;
    if (encryptMode_) {
        auto& rings = encryptRings_;
        rings.plain = Carve(BlockRing(33));
        rings.mixD = Carve(BlockRing(255));
        rings.d = d_;
        rings.b = b_;
        LayOutPipe(rings.pipeD, rings.plain, tapsMixD_, 33);
        LayOutPipe(rings.pipeB, rings.mixD, tapsMixB_, 255);
    } else {
        auto& rings = decryptRings_;
        rings.guess = Carve(BlockRing(33));
        rings.guessMix = Carve(BlockRing(255));
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
        a_.Put(-i, state.KeyRemaindersCopy[static_cast<std::size_t>(i - 1)]);
        d_.Put(-i, state.KeyRemainders[static_cast<std::size_t>(i - 1)]);
    }
    for (std::int64_t i = 1; i <= 255; ++i) {
        c_.Put(-i, state.KeyReversed[static_cast<std::size_t>(i - 1)]);
        b_.Put(-i, state.MaskedKeyReversed[static_cast<std::size_t>(i - 1)]);
    }
    if (!encryptMode_) {
        for (std::int64_t i = 1; i <= 33; ++i) {
            decryptRings_.guess.Put(-i, b_.Get(-i) ^ d_.Get(-i));
        }
    }
    // Register8's cells as the byte before the pass: cell 8 on top.
    int cells8 = 0;
    for (int cell = 1; cell <= 8; ++cell) {
        cells8 |= state.Register8[static_cast<std::size_t>(cell - 1)] << (cell - 1);
    }
    registers_[0].Put(-1, static_cast<std::uint8_t>(cells8));

    const std::array<const std::uint8_t*, 4> cells{state.Register8.data(), state.Register11.data(),
                                                   state.Register236.data(),
                                                   state.Register999.data()};
    for (std::size_t r = 0; r < kRegisters.size(); ++r) {
        if (r != kRegister999 || !swift_) {
            const auto& shape = kRegisters[r];
            registerWarmUp_[r].emplace(
                cells[r], shape.length,
                std::vector<int>(shape.taps.begin(), shape.taps.begin() + shape.tapCount));
        }
    }
}

void CipherTransform::ProduceKeyBlock() {
    const std::int64_t t0 = keyBlockEnd_;
    const std::int64_t t1 = t0 + blocked::kBlock;
    if (t0 >= keyVectorFrom_) {
        kernels_->produceKey(keySources_, key_, t0, t1);
        keyBlockEnd_ = t1;
        return;
    }
    const auto table = [&](const Ring& ring, const Taps& taps, const Taps& squared,
                           std::int64_t vectorFrom) {
        if (t0 >= vectorFrom) {
            kernels_->recur(ring, squared, t0, t1);
            return;
        }
        for (std::int64_t t = t0; t < t1; ++t) {
            ring.Put(t, XorAtLags(ring, taps, t));
        }
    };
    table(a_, tapsA_, keySources_.aTaps, aVectorFrom_);
    table(c_, tapsC_, keySources_.cTaps, cVectorFrom_);
    for (std::size_t r = 0; r < kRegisters.size(); ++r) {
        if (r == kRegister999 && swift_) {
            continue;
        }
        if (t0 >= registerVectorFrom_[r]) {
            registerWarmUp_[r].reset();
            kernels_->recur(registers_[r], registerTaps_[r], t0, t1);
            continue;
        }
        for (std::int64_t t = t0; t < t1; t += 8) {
            const std::uint64_t bits = registerWarmUp_[r]->Next();
            for (int k = 0; k < 8; ++k) {
                registers_[r].Put(t + k, kReverse[(bits >> (8 * k)) & 0xFF]);
            }
        }
    }
    kernels_->combineKey(keySources_, key_, t0, t1);
    keyBlockEnd_ = t1;
}

template <bool kEncrypt>
std::uint8_t CipherTransform::Step(std::uint8_t in, int& state) {
    if (position_ == keyBlockEnd_) {
        ProduceKeyBlock();
    }
    const std::int64_t t = position_;
    pendingD_ = XorAtLags(d_, tapsMixD_, t);
    pendingB_ = XorAtLags(b_, tapsMixB_, t);
    const std::uint8_t key = key_[t & (blocked::kBlock - 1)];
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
    if ((position_ & (blocked::kBlock - 1)) == 0) {
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

void CipherTransform::EncryptVectors(const std::uint8_t* in, std::uint8_t* out, std::int64_t t1) {
    CatchUpPipes();
    blocked::ChainScan scan{(chainState_ & 2) != 0, (chainState_ & 1) != 0, !swift_};
    kernels_->encrypt(encryptRings_, key_, in, out, scan, position_, t1);
    chainState_ = ChainState(scan.reversed, scan.chainBit ? 1 : 0);
    position_ = t1;
    pipesFedTo_ = t1;
}

void CipherTransform::DecryptVectors(const std::uint8_t* in, std::uint8_t* out, std::int64_t t1) {
    CatchUpPipes();
    blocked::ChainScan scan{(chainState_ & 2) != 0, (chainState_ & 1) != 0, !swift_};
    kernels_->decrypt(decryptRings_, key_, in, out, scan, position_, t1);
    chainState_ = ChainState(scan.reversed, scan.chainBit ? 1 : 0);
    position_ = t1;
    pipesFedTo_ = t1;
}

template <bool kEncrypt>
std::size_t CipherTransform::Transform(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                                       const bool& running) {
    // The coding state stays in a register; byte stores could alias a member.
    const auto steps = [&](std::size_t from, std::size_t to) {
        int state = chainState_;
        for (std::size_t i = from; i < to; ++i) {
            out[i] = Step<kEncrypt>(in[i], state);
            Commit(kEncrypt ? in[i] : out[i]);
        }
        chainState_ = state;
    };
    const std::int64_t width = kernels_->width;
    std::size_t done = 0;
    while (done < count && running) {
        if (position_ == keyBlockEnd_) {
            ProduceKeyBlock();
        }
        const std::int64_t t = position_;
        const std::size_t run = std::min(count - done, static_cast<std::size_t>(keyBlockEnd_ - t));
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
            if constexpr (kEncrypt) {
                EncryptVectors(in + at, out + at, end);
            } else {
                DecryptVectors(in + at, out + at, end);
            }
        }
        steps(done + vectorStart + vectorBytes, done + run);
        done += run;
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
    return Step<false>(cipherByte, chainState_);
}

void CipherTransform::Feedback(std::uint8_t plainByte) {
    Commit(plainByte);
}

}  // namespace velkor
