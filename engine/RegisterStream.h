#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace velkor {

// The output of one keystream register, 64 clocks at a time.
//
// A register of length L whose feedback is the xor of its taps t produces the
// stream r[n] = xor of r[n - t]. Squaring the feedback polynomial k times
// gives r[n] = xor of r[n - 2^k t], valid once the history reaches back 2^k L;
// with every 2^k t of at least 64, a whole word of new bits depends only on
// bits already made. The first words come from the plain recurrence.
class RegisterStream {
  public:
    // cells: the register's cells, cell 1 first, one bit per byte.
    RegisterStream(const std::uint8_t* cells, int length, std::vector<int> taps);
    // The bits are key material: wiped when the stream goes.
    ~RegisterStream();
    RegisterStream(const RegisterStream&) = default;
    RegisterStream& operator=(const RegisterStream&) = default;
    RegisterStream(RegisterStream&&) noexcept = default;
    RegisterStream& operator=(RegisterStream&&) noexcept = default;

    // The bits of the next 64 clocks; bit i is cell 1 after clock i + 1.
    std::uint64_t Next();

  private:
    static constexpr int kRingWords = 128;

    // Sets one bit of the still empty ring.
    void PlaceCell(std::int64_t index, std::uint8_t bit);
    // The low `count` bits of `bits` from bit `index` on.
    void SetBits(std::int64_t index, int count, std::uint64_t bits);
    std::uint64_t Word(std::int64_t bitIndex) const;

    std::array<std::uint64_t, kRingWords> ring_{};
    std::vector<int> taps_;
    std::vector<int> wideTaps_;
    std::int64_t nextWord_ = 0;       // word returned by the next call
    std::int64_t firstWideWord_ = 0;  // from here on words use the wide taps
};

}  // namespace velkor
