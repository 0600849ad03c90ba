#include "CommonGroupLine.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#include "GroupText.h"

namespace velkor::groups {
namespace {

// Sixteen bytes at once, with the compiler's portable vector types. Signed, so
// that bytes from 128 up fall below every lower bound.
using Bytes = signed char __attribute__((vector_size(16)));
using Unsigned = unsigned char __attribute__((vector_size(16)));
constexpr std::size_t kLanes = sizeof(Bytes);

static_assert(kCommonLineLength == static_cast<std::size_t>(kLineLength));

// Four loads cover the line; the last one overlaps the third.
constexpr std::array<std::size_t, 4> kLoads = {0, 16, 32, kCommonLineLength - kLanes};
// The line with room to the next multiple of the lanes.
constexpr std::size_t kPadded = kLoads.size() * kLanes;

constexpr signed char ExpectedAt(std::size_t at) {
    if (at == kCommonLineLength - 2) {
        return kCarriageReturn;
    }
    if (at == kCommonLineLength - 1) {
        return kLineFeed;
    }
    return at % (kSymbolsPerGroup + 1) == kSymbolsPerGroup ? ' ' : 0;
}

// Per load: -1 where a symbol stands, and the character that must stand
// everywhere else.
struct LineTemplate {
    std::array<signed char, kPadded> symbolAt{};
    std::array<signed char, kPadded> literal{};
};

constexpr LineTemplate MakeTemplate() {
    LineTemplate t;
    for (std::size_t load = 0; load < kLoads.size(); ++load) {
        for (std::size_t i = 0; i < kLanes; ++i) {
            const signed char expected = ExpectedAt(kLoads[load] + i);
            t.symbolAt[load * kLanes + i] = expected == 0 ? -1 : 0;
            t.literal[load * kLanes + i] = expected;
        }
    }
    return t;
}

constexpr LineTemplate kTemplate = MakeTemplate();

Bytes Load(const void* at) {
    Bytes bytes;
    std::memcpy(&bytes, at, sizeof bytes);
    return bytes;
}

}  // namespace

bool IsCommonLine(const unsigned char* line) {
    Bytes good = Bytes{} - 1;
    for (std::size_t load = 0; load < kLoads.size(); ++load) {
        const Bytes c = Load(line + kLoads[load]);
        const Bytes symbolAt = Load(&kTemplate.symbolAt[load * kLanes]);
        const Bytes literal = Load(&kTemplate.literal[load * kLanes]);
        const Bytes symbol = ((c >= '0') & (c <= '9')) | ((c >= 'A') & (c <= 'Z'));
        good &= (symbol & symbolAt) | ((c == literal) & ~symbolAt);
    }
    std::array<std::uint64_t, 2> halves{};
    std::memcpy(halves.data(), &good, sizeof good);
    return (halves[0] & halves[1]) == ~std::uint64_t{0};
}

namespace {

// Lane i takes lane i - kShift; zeros come in, so that it is one byte shift.
template <std::size_t kShift, std::size_t... kLane>
Bytes ShiftUp(Bytes v, std::index_sequence<kLane...> /*lanes*/) {
    return __builtin_shufflevector(v, Bytes{},
                                   (kLane >= kShift ? kLane - kShift : kLanes + kLane)...);
}

// A doubling step of the scan: lanes without a range yet take the one
// kShift lanes before.
template <std::size_t kShift>
Bytes Spread(Bytes range) {
    return range | (ShiftUp<kShift>(range, std::make_index_sequence<kLanes>()) & (range == 0));
}

}  // namespace

// The range of every position is found for the whole line at once, so that
// the symbols need no branch and carry no chain but the output position.
// Ranges are kept one up, so that 0 can stand for none yet.
char* DecodeCommonLine(const unsigned char* line, unsigned& range, char* out) {
    std::array<unsigned char, kPadded> text{};
    std::memcpy(text.data(), line, kCommonLineLength);
    std::array<unsigned char, kPadded> bytes{};
    std::array<unsigned char, kPadded> isLetter{};
    Bytes carry = Bytes{} + static_cast<signed char>(range + 1);
    for (std::size_t at = 0; at < kPadded; at += kLanes) {
        const Bytes c = Load(text.data() + at);
        const Bytes isDigit = (c >= '0') & (c <= '9');
        Bytes ranges = (c - ('0' - 1)) & isDigit;
        ranges = Spread<8>(Spread<4>(Spread<2>(Spread<1>(ranges))));
        ranges |= carry & (ranges == 0);
        carry = __builtin_shufflevector(ranges, ranges, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15,
                                        15, 15, 15, 15, 15);
        // 26 times the range, by additions: bytes have no multiplication.
        const auto r = (Unsigned)ranges - 1;
        const Unsigned r2 = r + r;
        const Unsigned r8 = r2 + r2 + r2 + r2;
        const Unsigned value = r8 + r8 + r8 + r2 + ((Unsigned)c - 'A');
        std::memcpy(bytes.data() + at, &value, kLanes);
        const auto letter = (Unsigned)((c >= 'A') & (c <= 'Z')) & 1;
        std::memcpy(isLetter.data() + at, &letter, kLanes);
    }
    range = static_cast<unsigned>(carry[0] - 1);
    for (std::size_t group = 0; group < static_cast<std::size_t>(kGroupsPerLine); ++group) {
        const std::size_t first = group * (kSymbolsPerGroup + 1);
        [&]<std::size_t... kAt>(std::index_sequence<kAt...> /*symbols*/) {
            ((*out = static_cast<char>(bytes[first + kAt]), out += isLetter[first + kAt]), ...);
        }
        (std::make_index_sequence<kSymbolsPerGroup>());
    }
    return out;
}

}  // namespace velkor::groups
