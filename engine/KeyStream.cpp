#include "KeyStream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace velkor {

namespace {

using blocked::kBlock;
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

}  // namespace

KeyStream::KeyStream(const JobState& state, const PassIndexes& indexes,
                     const blocked::Kernels& kernels)
    : kernels_(&kernels), swift_(state.Swift) {
    SetUpTaps(indexes);
    LayOutRings();
    arena_.Allocate();
    LayOutRings();
    FillRings(state);
}

void KeyStream::SetUpTaps(const PassIndexes& indexes) {
    const std::int64_t width = kernels_->width;
    const std::int64_t s1 = indexes.short1;
    const std::int64_t s2 = indexes.short2;
    const std::int64_t l1 = indexes.long1;
    const std::int64_t l2 = indexes.long2;
    tapsA_ = blocked::MakeTaps({s1, 33, s2, ((s1 + s2) % 32) + 1});
    tapsC_ = blocked::MakeTaps({l1, 255, l2, ((l2 + l1) % 254) + 1});
    aVectorFrom_ = blocked::RoundUp((width - 1) * 33, kBlock);
    cVectorFrom_ = blocked::RoundUp((width - 1) * 255, kBlock);

    // A register's bytes follow its own taps once squared eight times; a
    // factor F more gives lags F times the taps. A register with a period
    // repeats its bytes: one lag, the first multiple of the period that
    // reaches four vectors back. Either is valid from its longest lag on.
    for (std::size_t r = 0; r < kRegisters.size(); ++r) {
        const auto& shape = kRegisters[r];
        Taps taps;
        if (shape.period != 0) {
            taps = blocked::MakeTaps({blocked::RoundUp(4 * width, shape.period)});
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
            blocked::RoundUp(*std::max_element(taps.lag.begin(), taps.lag.end()), kBlock);
    }
    vectorFrom_ =
        std::max({aVectorFrom_, cVectorFrom_, registerVectorFrom_[0], registerVectorFrom_[1],
                  registerVectorFrom_[2], registerVectorFrom_[3]});
}

// Run twice: to measure the arena, then to place the rings in it.
void KeyStream::LayOutRings() {
    constexpr std::int64_t kWidest = blocked::kWidestVector;
    a_ = arena_.Carve(blocked::RecurrenceRing(kWidest * 33));
    c_ = arena_.Carve(blocked::RecurrenceRing(kWidest * 255));
    block_ = arena_.Carve(kBlock, false).data;
    for (std::size_t r = 0; r < kRegisters.size(); ++r) {
        if (r != kRegister999 || !swift_) {
            std::int64_t reach = 0;
            for (const auto lag : registerTaps_[r].lag) {
                reach = std::max(reach, lag);
            }
            registers_[r] = arena_.Carve(blocked::RecurrenceRing(reach));
        }
    }
    const std::int64_t width = kernels_->width;
    sources_.a = a_;
    sources_.c = c_;
    sources_.registers = registers_;
    sources_.aTaps = blocked::WithNearTaps(blocked::Scaled(tapsA_, width), width);
    sources_.cTaps = blocked::WithNearTaps(blocked::Scaled(tapsC_, width), width);
    sources_.registerTaps = registerTaps_;
    sources_.withRegister999 = !swift_;
}

void KeyStream::FillRings(const JobState& state) {
    // Entry i of a table is the stream's value i places before the pass.
    for (std::int64_t i = 1; i <= 33; ++i) {
        a_.Put(-i, state.KeyRemaindersCopy[static_cast<std::size_t>(i - 1)]);
    }
    for (std::int64_t i = 1; i <= 255; ++i) {
        c_.Put(-i, state.KeyReversed[static_cast<std::size_t>(i - 1)]);
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

void KeyStream::MakeBlock(std::uint8_t* keys) {
    const std::int64_t t0 = made_;
    const std::int64_t t1 = t0 + kBlock;
    made_ = t1;
    if (t0 >= vectorFrom_) {
        kernels_->produceKey(sources_, keys, t0, t1);
        return;
    }
    const auto table = [&](const Ring& ring, const Taps& taps, const Taps& squared,
                           std::int64_t vectorFrom) {
        if (t0 >= vectorFrom) {
            kernels_->recur(ring, squared, t0, t1);
            return;
        }
        for (std::int64_t t = t0; t < t1; ++t) {
            ring.Put(t, blocked::XorAtLags(ring, taps, t));
        }
    };
    table(a_, tapsA_, sources_.aTaps, aVectorFrom_);
    table(c_, tapsC_, sources_.cTaps, cVectorFrom_);
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
    kernels_->combineKey(sources_, keys, t0, t1);
}

void KeyStream::Make(std::uint8_t* keys, std::size_t count) {
    while (count > 0) {
        if (given_ == made_) {
            // Whole blocks go straight to the caller.
            if (count >= static_cast<std::size_t>(kBlock)) {
                MakeBlock(keys);
                given_ = made_;
                keys += kBlock;
                count -= static_cast<std::size_t>(kBlock);
                continue;
            }
            MakeBlock(block_);
        }
        const std::size_t n = std::min(count, static_cast<std::size_t>(made_ - given_));
        std::memcpy(keys, block_ + (given_ & (kBlock - 1)), n);
        given_ += static_cast<std::int64_t>(n);
        keys += n;
        count -= n;
    }
}

}  // namespace velkor
