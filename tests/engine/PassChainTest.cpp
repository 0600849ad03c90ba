#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "KeyMaterial.h"
#include "PassChain.h"

namespace velkor {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct PassKey {
    Bytes bytes;
    std::uint8_t extension = 0;
};

std::vector<PassKey> Keys(std::size_t passes, std::mt19937& random) {
    std::vector<PassKey> keys(passes);
    for (auto& key : keys) {
        key.bytes.resize(1 + random() % 256);
        for (auto& byte : key.bytes) {
            byte = static_cast<std::uint8_t>(random());
        }
        key.extension = static_cast<std::uint8_t>(random());
    }
    return keys;
}

void Fill(PassChain& chain, const std::vector<PassKey>& keys, bool encrypt, bool swift) {
    JobState state;
    state.EncryptMode = encrypt;
    state.Swift = swift;
    for (const auto& key : keys) {
        std::copy(key.bytes.begin(), key.bytes.end(), state.PassKey.begin());
        state.PassKeyLength = static_cast<int>(key.bytes.size());
        state.PassKeyExtension = key.extension;
        state.ChainBit = 0;
        ExpandPassKey(state);
        PreparePassTables(state);
        chain.Append(std::make_unique<PassStage>(state, encrypt));
    }
}

// Runs input through a chain in pieces of uneven sizes.
Bytes Through(PassChain& chain, const Bytes& input, unsigned seed) {
    std::mt19937 pieces(seed);
    int draws = 0;
    const RandomByteSource random = [&draws] { return (draws++ * 37) & 0xFF; };
    Bytes output;
    const auto sink = [&output](const std::uint8_t* data, std::size_t count) {
        output.insert(output.end(), data, data + count);
        return true;
    };
    std::size_t at = 0;
    while (at < input.size()) {
        const std::size_t count = std::min<std::size_t>(1 + pieces() % 9000, input.size() - at);
        EXPECT_TRUE(chain.Push(input.data() + at, count, random, sink));
        at += count;
    }
    EXPECT_TRUE(chain.Finish(random, sink));
    return output;
}

TEST(PassChain, SecondThreadGivesTheSameBytesAsOne) {
    std::mt19937 random(11);
    for (const std::size_t passes :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{9}}) {
        for (const std::size_t size :
             {std::size_t{0}, std::size_t{1}, std::size_t{5000}, std::size_t{70000}}) {
            SCOPED_TRACE(::testing::Message() << passes << " passes, " << size << " bytes");
            Bytes plain(size);
            for (auto& byte : plain) {
                byte = static_cast<std::uint8_t>(random());
            }
            const bool swift = random() % 2 == 0;
            const auto keys = Keys(passes, random);
            PassChain single(9000, false);
            PassChain pair(4000, true);  // larger pieces go in parts
            Fill(single, keys, true, swift);
            Fill(pair, keys, true, swift);
            const Bytes cipher = Through(single, plain, 1);
            ASSERT_EQ(Through(pair, plain, 2), cipher);

            // Decryption takes the passes in reverse order, on two threads.
            PassChain back(9000, true);
            Fill(back, {keys.rbegin(), keys.rend()}, false, swift);
            EXPECT_EQ(Through(back, cipher, 3), plain);
            EXPECT_FALSE(back.KeyMismatch());
        }
    }
}

}  // namespace
}  // namespace velkor
