#include <gtest/gtest.h>

#include <random>

#include "CipherTransform.h"
#include "KeyMaterial.h"

// Key bytes made ahead, in any split, against key bytes made as a transform
// needs them.
namespace velkor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::mt19937& random, std::size_t count) {
    Bytes bytes(count);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

void Prepare(JobState& state, std::mt19937& random, bool swift, bool encrypt) {
    const Bytes key = RandomBytes(random, 6 + random() % 123);
    state.Swift = swift;
    state.EncryptMode = encrypt;
    state.PassKeyLength = static_cast<int>(key.size());
    std::copy(key.begin(), key.end(), state.PassKey.begin());
    state.PassKeyExtension = static_cast<std::uint8_t>(random());
    ExpandPassKey(state);
    PreparePassTables(state);
}

// Request sizes around the block of the vector loops: single bytes, parts of
// a block, whole blocks and more.
std::size_t RandomRequest(std::mt19937& random) {
    switch (random() % 4) {
        case 0:
            return 1 + random() % 3;
        case 1:
            return 1 + random() % 1500;
        case 2:
            return 1024 * (1 + random() % 3);
        default:
            return 1 + random() % 20000;
    }
}

TEST(KeyStream, AnySplitOfTheRequestsGivesTheSameBytes) {
    std::mt19937 random(5);
    for (int round = 0; round < 8; ++round) {
        JobState state;
        Prepare(state, random, round % 2 == 0, true);
        CipherTransform whole(state);
        CipherTransform split(state);
        // Well past the warm-up of every source, so that the vector loops run.
        const std::size_t total = 120000;
        Bytes expected(total);
        whole.Keys().Make(expected.data(), total);
        Bytes made(total);
        std::size_t at = 0;
        while (at < total) {
            const std::size_t count = std::min(RandomRequest(random), total - at);
            split.Keys().Make(made.data() + at, count);
            at += count;
        }
        ASSERT_EQ(made, expected) << "round " << round;
    }
}

// Pieces of random sizes through a transform that makes its key bytes and one
// that is given them; decryption starts with byte steps, as a header does.
TEST(KeyStream, KeyBytesMadeAheadTransformAsKeyBytesMadeAsNeeded) {
    std::mt19937 random(9);
    for (int round = 0; round < 8; ++round) {
        const bool encrypt = round % 2 == 0;
        SCOPED_TRACE(::testing::Message() << "round " << round);
        JobState state;
        Prepare(state, random, round % 4 < 2, encrypt);
        CipherTransform asNeeded(state);
        CipherTransform ahead(state);
        const Bytes input = RandomBytes(random, 90000);
        Bytes expected(input.size());
        Bytes output(input.size());
        std::size_t at = 0;
        if (!encrypt) {
            for (; at < 300; ++at) {
                std::uint8_t key = 0;
                ahead.Keys().Make(&key, 1);
                expected[at] = asNeeded.DecryptStep(input[at]);
                output[at] = ahead.DecryptStep(input[at], key);
                asNeeded.Feedback(expected[at]);
                ahead.Feedback(output[at]);
            }
        }
        const bool running = true;
        Bytes keys;
        while (at < input.size()) {
            const std::size_t count = std::min(RandomRequest(random), input.size() - at);
            keys.resize(count);
            ahead.Keys().Make(keys.data(), count);
            if (encrypt) {
                asNeeded.Encrypt(input.data() + at, expected.data() + at, count, running);
                ahead.Encrypt(input.data() + at, output.data() + at, count, keys.data());
            } else {
                asNeeded.Decrypt(input.data() + at, expected.data() + at, count, running);
                ahead.Decrypt(input.data() + at, output.data() + at, count, keys.data());
            }
            at += count;
        }
        ASSERT_EQ(output, expected);
    }
}

}  // namespace
}  // namespace velkor
