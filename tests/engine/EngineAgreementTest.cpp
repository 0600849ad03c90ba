#include <gtest/gtest.h>

#include <random>

#include "CipherTransform.h"
#include "KeyMaterial.h"
#include "LiteralModel.h"

// The fast engine against the literal model: key material and transform on
// many random keys, extensions, key-file blocks, inputs and both modes.
namespace velkor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::mt19937& random, std::size_t count) {
    Bytes bytes(count);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random() & 0xFF);
    }
    return bytes;
}

int RandomExtension(std::mt19937& random) {
    switch (random() % 3) {
        case 0:
            return 0;
        case 1:
            return 32 + static_cast<int>(random() % 95);
        default:
            return 128 + static_cast<int>(random() % 128);
    }
}

// Key of a user (6..128 bytes) or of a key-file block (1..256 bytes).
Bytes RandomKey(std::mt19937& random) {
    const bool block = random() % 2 == 0;
    const std::size_t length = block ? 1 + random() % 256 : 6 + random() % 123;
    return RandomBytes(random, length);
}

void Prepare(JobState& state, const Bytes& key, int extension, bool swift) {
    state.Swift = swift;
    state.PassKeyLength = static_cast<int>(key.size());
    std::copy(key.begin(), key.end(), state.PassKey.begin());
    state.PassKeyExtension = static_cast<std::uint8_t>(extension);
    state.ChainBit = 0;
    ExpandPassKey(state);
    PreparePassTables(state);
}

void ExpectSameMaterial(const JobState& fast, const literal::State& slow) {
    for (int i = 1; i <= 256; ++i) {
        ASSERT_EQ(fast.ExpandedKey[i - 1], slow.ExpandedKey[i]) << "expanded " << i;
        ASSERT_EQ(fast.PassKey[i - 1], slow.PassKey[i]) << "masked " << i;
    }
    for (int i = 1; i <= 33; ++i) {
        ASSERT_EQ(fast.KeyRemainders[i - 1], slow.KeyRemainders[i]);
        ASSERT_EQ(fast.KeyRemaindersCopy[i - 1], slow.KeyRemaindersCopy[i]);
    }
    for (int i = 1; i <= 255; ++i) {
        ASSERT_EQ(fast.KeyReversed[i - 1], slow.KeyReversed[i]);
        ASSERT_EQ(fast.MaskedKeyReversed[i - 1], slow.MaskedKeyReversed[i]);
    }
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(fast.Register8[i], slow.Register8[i] - '0');
    }
    for (int i = 0; i < 11; ++i) {
        ASSERT_EQ(fast.Register11[i], slow.Register11[i] - '0');
    }
    ASSERT_EQ(fast.PassKeyExtension, slow.PassKeyExtension);
    ASSERT_EQ(fast.ReversedOrder, slow.ReversedOrder);
}

TEST(EngineAgreement, KeyMaterialOnRandomKeys) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 1500; ++round) {
        const Bytes key = RandomKey(random);
        const int extension = RandomExtension(random);
        const bool swift = random() % 2 == 0;
        SCOPED_TRACE(::testing::Message() << "round " << round << " length " << key.size()
                                          << " ext " << extension << " swift " << swift);
        JobState fast;
        Prepare(fast, key, extension, swift);
        const literal::State slow = literal::PreparedPass(key, extension, swift);
        ExpectSameMaterial(fast, slow);
        const CipherTransform transform(fast);
        ASSERT_EQ(transform.LongIndex1(), slow.LongIndex1);
        ASSERT_EQ(transform.ShortIndex1(), slow.ShortIndex1);
        ASSERT_EQ(transform.LongIndex2(), slow.LongIndex2);
        ASSERT_EQ(transform.ShortIndex2(), slow.ShortIndex2);
    }
}

TEST(EngineAgreement, TransformOnRandomInputs) {
    std::mt19937 random(4242);
    const bool always = true;
    for (int round = 0; round < 400; ++round) {
        const Bytes key = RandomKey(random);
        const int extension = RandomExtension(random);
        const bool swift = round % 2 == 0;
        // Mostly short inputs, some across chunk boundaries.
        const std::size_t length = round % 10 == 0 ? 4096 + random() % 9000 : random() % 700;
        const Bytes input = RandomBytes(random, length);
        SCOPED_TRACE(::testing::Message() << "round " << round << " swift " << swift);

        JobState state;
        Prepare(state, key, extension, swift);
        literal::State slow = literal::PreparedPass(key, extension, swift);
        Bytes expected;
        for (const auto x : input) {
            expected.push_back(static_cast<std::uint8_t>(literal::EncryptStep(slow, x)));
        }
        CipherTransform encrypt(state);
        Bytes cipher(length);
        // Uneven pieces, as header and blocks come.
        std::size_t done = 0;
        while (done < length) {
            const std::size_t piece = std::min<std::size_t>(1 + random() % 5000, length - done);
            ASSERT_EQ(encrypt.Encrypt(input.data() + done, cipher.data() + done, piece, always),
                      piece);
            done += piece;
        }
        ASSERT_EQ(cipher, expected);

        CipherTransform decrypt(state);
        Bytes plain(length);
        const std::size_t stepped = std::min<std::size_t>(length, random() % 300);
        for (std::size_t i = 0; i < stepped; ++i) {
            plain[i] = decrypt.DecryptStep(cipher[i]);
            decrypt.Feedback(plain[i]);
        }
        ASSERT_EQ(decrypt.Decrypt(cipher.data() + stepped, plain.data() + stepped, length - stepped,
                                  always),
                  length - stepped);
        ASSERT_EQ(plain, input);
    }
}

TEST(EngineAgreement, StopsBeforeTheFirstByteOnceNotRunning) {
    JobState state;
    Prepare(state, {'a', 'b', 'c', 'd', 'e', 'f'}, 0, true);
    CipherTransform transform(state);
    const Bytes input(100, 7);
    Bytes output(100);
    const bool stopped = false;
    EXPECT_EQ(transform.Encrypt(input.data(), output.data(), input.size(), stopped), 0U);
}

}  // namespace
}  // namespace velkor
