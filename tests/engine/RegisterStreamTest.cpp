#include "RegisterStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <random>

namespace velkor {
namespace {

// The register's bits are key material: once the stream is gone, none of the
// words it gave out may be left where it lived.
TEST(RegisterStream, LeavesNoBitsBehind) {
    std::mt19937 random(3);
    std::array<std::uint8_t, 236> cells{};
    for (auto& cell : cells) {
        cell = static_cast<std::uint8_t>(random() & 1);
    }
    alignas(RegisterStream) std::array<unsigned char, sizeof(RegisterStream)> storage{};
    auto* stream = new (storage.data()) RegisterStream(cells.data(), 236, {236, 5});
    std::array<std::uint64_t, 8> words{};
    for (auto& word : words) {
        word = stream->Next();
    }
    const auto leftInStorage = [&storage](std::uint64_t word) {
        for (std::size_t at = 0; at + sizeof(word) <= storage.size(); ++at) {
            if (std::memcmp(storage.data() + at, &word, sizeof(word)) == 0) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(std::all_of(words.begin(), words.end(), leftInStorage));
    stream->~RegisterStream();
    EXPECT_TRUE(std::none_of(words.begin(), words.end(), leftInStorage));
}

}  // namespace
}  // namespace velkor
