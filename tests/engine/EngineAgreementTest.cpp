#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "CipherTransform.h"
#include "KeyMaterial.h"
#include "LiteralModel.h"

// The fast engine against the literal model: key material and transform on
// many random keys, extensions, key-file blocks, inputs and both modes.
namespace velkor {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Sanitized debug builds run the literal model many times slower: fewer rounds.
#ifdef __SANITIZE_ADDRESS__
constexpr int kRoundDivisor = 8;
#else
constexpr int kRoundDivisor = 1;
#endif
constexpr int kVectorRounds = 48 / kRoundDivisor;
// Passes checked against the model: the sanitizers look at memory, which the
// checks against the byte steps cover as well.
constexpr int kModelEvery = kRoundDivisor;

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
    for (int round = 0; round < 1500 / kRoundDivisor; ++round) {
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
    for (int round = 0; round < 400 / kRoundDivisor; ++round) {
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

// The vector path: the transform runs it in the direction of the state's
// EncryptMode, and steps byte by byte in the other, so each checks the other;
// the literal model checks both on fewer, longer inputs.

// Every width this processor runs: 16, 32 with AVX2, 64 with AVX-512.
std::vector<int> Widths() {
    JobState state;
    Prepare(state, {'w', 'i', 'd', 't', 'h', 's'}, 0, true);
    std::vector<int> widths;
    for (const int width : {16, 32, 64}) {
        if (CipherTransform(state, width).VectorBytes() == width) {
            widths.push_back(width);
        }
    }
    return widths;
}

// The widest tier, which a transform takes by default, and SSE2 can be asked
// for by width; so the tests below run every tier this processor has.
TEST(EngineAgreement, TiersAreChosenByWidth) {
    JobState state;
    Prepare(state, {'t', 'i', 'e', 'r', 's', '!'}, 0, true);
    const int widest = CipherTransform(state).VectorBytes();
    EXPECT_EQ(Widths().back(), widest);
    EXPECT_EQ(Widths().front(), 16);
    EXPECT_EQ(CipherTransform(state, 16).VectorBytes(), 16);
    EXPECT_EQ(CipherTransform(state, 32).VectorBytes(), std::min(widest, 32));
}

// Transforms `input` in uneven pieces: now and then a single byte, so that
// pieces start and end inside vectors and blocks; one piece starts at `cut`.
Bytes RunInPieces(CipherTransform& transform, bool encrypt, const Bytes& input,
                  std::mt19937& random, std::size_t cut = 0) {
    const bool always = true;
    Bytes output(input.size());
    std::size_t done = 0;
    while (done < input.size()) {
        std::size_t wanted = random() % 4 == 0 ? 1 : 1 + random() % 3000;
        if (done < cut) {
            wanted = std::min(wanted, cut - done);
        }
        const std::size_t piece = std::min(wanted, input.size() - done);
        const std::size_t made =
            encrypt ? transform.Encrypt(input.data() + done, output.data() + done, piece, always)
                    : transform.Decrypt(input.data() + done, output.data() + done, piece, always);
        EXPECT_EQ(made, piece);
        done += piece;
    }
    return output;
}

struct PassCase {
    Bytes key;
    int extension = 0;
    bool swift = true;
};

// Encrypts on vectors and byte by byte and compares; decrypts on vectors after
// a header of DecryptStep and Feedback, some of whose feedback bytes are not
// the decrypted ones, against the byte steps given the same feedback. The
// input runs `vectorBytes` past the first byte of the vector path.
void ExpectVectorsAgree(const PassCase& pass, int width, std::size_t vectorBytes,
                        std::mt19937& random) {
    JobState state;
    Prepare(state, pass.key, pass.extension, pass.swift);
    state.EncryptMode = false;
    CipherTransform byteSteps(state, width);
    state.EncryptMode = true;
    CipherTransform vectors(state, width);
    const auto vectorFrom = static_cast<std::size_t>(vectors.VectorPathFrom());
    const Bytes input = RandomBytes(random, vectorFrom + vectorBytes);
    // The vector path's first byte starts a piece.
    const Bytes cipher = RunInPieces(vectors, true, input, random, vectorFrom);
    ASSERT_EQ(cipher, RunInPieces(byteSteps, true, input, random));

    state.EncryptMode = true;
    CipherTransform headerSteps(state, width);
    state.EncryptMode = false;
    CipherTransform decrypt(state, width);
    const std::size_t header = random() % 300;
    Bytes fed(header);
    for (std::size_t i = 0; i < header; ++i) {
        const std::uint8_t plain = decrypt.DecryptStep(cipher[i]);
        ASSERT_EQ(plain, headerSteps.DecryptStep(cipher[i])) << "header byte " << i;
        fed[i] = random() % 8 == 0 ? static_cast<std::uint8_t>(random()) : plain;
        decrypt.Feedback(fed[i]);
        headerSteps.Feedback(fed[i]);
    }
    const Bytes rest(cipher.begin() + static_cast<std::ptrdiff_t>(header), cipher.end());
    ASSERT_EQ(RunInPieces(decrypt, false, rest, random, vectorFrom - header),
              RunInPieces(headerSteps, false, rest, random));
    if (fed == Bytes(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(header))) {
        CipherTransform plain(state, width);
        ASSERT_EQ(RunInPieces(plain, false, cipher, random), input);
    }
}

PassCase RandomPass(std::mt19937& random) {
    return {RandomKey(random), RandomExtension(random), random() % 2 == 0};
}

TEST(EngineAgreement, VectorPathAgreesWithByteSteps) {
    std::mt19937 random(777);
    for (const int width : Widths()) {
        for (int round = 0; round < kVectorRounds; ++round) {
            SCOPED_TRACE(::testing::Message() << "width " << width << " round " << round);
            ExpectVectorsAgree(RandomPass(random), width, 1000 + random() % 12000, random);
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

// Encrypts on every width's vectors against the literal model, and decrypts
// back; the model runs once, as far as the widest vectors need. The byte
// steps share the key sources with the vectors, so only the model checks them.
void ExpectModelAgrees(const PassCase& pass, std::mt19937& random) {
    JobState state;
    Prepare(state, pass.key, pass.extension, pass.swift);
    state.EncryptMode = true;
    const Bytes input = RandomBytes(
        random, static_cast<std::size_t>(CipherTransform(state).VectorPathFrom()) + 3000);
    literal::State slow = literal::PreparedPass(pass.key, pass.extension, pass.swift);
    Bytes expected;
    for (const auto x : input) {
        expected.push_back(static_cast<std::uint8_t>(literal::EncryptStep(slow, x)));
    }
    for (const int width : Widths()) {
        SCOPED_TRACE(::testing::Message() << "width " << width);
        state.EncryptMode = true;
        CipherTransform encrypt(state, width);
        ASSERT_EQ(RunInPieces(encrypt, true, input, random), expected);
        state.EncryptMode = false;
        CipherTransform decrypt(state, width);
        ASSERT_EQ(RunInPieces(decrypt, false, expected, random), input);
    }
}

TEST(EngineAgreement, VectorPathAgreesWithLiteralModel) {
    std::mt19937 random(31337);
    for (int round = 0; round < 6; round += std::min(kModelEvery, 3)) {
        const bool swift = round % 2 == 0;
        SCOPED_TRACE(::testing::Message() << "round " << round << " swift " << swift);
        ExpectModelAgrees({RandomKey(random), RandomExtension(random), swift}, random);
        if (HasFatalFailure()) {
            return;
        }
    }
}

// Keys whose pass indexes make a lag of 1 or make two lags equal (the terms
// then cancel), found among random keys. Lags of 1 and 2 leave, once
// squared, one tap half a vector and one a whole vector back; 1 and 3 one
// tap a vector and a half back. Short lags of 3, 5 and 7 leave taps 3, 5 and
// 7 half vectors back, which 32-byte vectors take from registers.
TEST(EngineAgreement, VectorPathOnLagOneAndEqualLags) {
    using Indexes = std::function<bool(int l1, int s1, int l2, int s2)>;
    const std::vector<std::pair<const char*, Indexes>> kinds{
        {"short lag 1", [](int, int s1, int, int s2) { return s1 == 1 || s2 == 1; }},
        {"table a lag 1", [](int, int s1, int, int s2) { return (s1 + s2) % 32 == 0; }},
        {"long lag 1", [](int l1, int, int l2, int) { return l1 == 1 || l2 == 1; }},
        {"table c lag 1", [](int l1, int, int l2, int) { return (l1 + l2) % 254 == 0; }},
        {"short lags 1 and 2", [](int, int s1, int, int s2) { return s1 * s2 == 2; }},
        {"short lags 1 and 3", [](int, int s1, int, int s2) { return s1 * s2 == 3; }},
        {"short lags both 1", [](int, int s1, int, int s2) { return s1 == 1 && s2 == 1; }},
        {"short lag 3", [](int, int s1, int, int s2) { return s1 == 3 || s2 == 3; }},
        {"short lag 5", [](int, int s1, int, int s2) { return s1 == 5 || s2 == 5; }},
        {"short lag 7", [](int, int s1, int, int s2) { return s1 == 7 || s2 == 7; }},
        {"equal short lags", [](int, int s1, int, int s2) { return s1 == s2; }},
        {"equal long lags", [](int l1, int, int l2, int) { return l1 == l2; }},
        {"long lag equals short lag",
         [](int l1, int s1, int l2, int s2) {
             return l1 == s1 || l1 == s2 || l1 == 33 || l2 == s1 || l2 == s2 || l2 == 33;
         }},
    };
    std::mt19937 random(99);
    // One search for every kind at once.
    std::vector<std::optional<PassCase>> found(kinds.size());
    std::size_t missing = kinds.size();
    for (int tries = 0; tries < 20000 && missing > 0; ++tries) {
        const PassCase pass = RandomPass(random);
        JobState state;
        Prepare(state, pass.key, pass.extension, pass.swift);
        const CipherTransform transform(state, 16);
        for (std::size_t kind = 0; kind < kinds.size(); ++kind) {
            if (!found[kind] &&
                kinds[kind].second(transform.LongIndex1(), transform.ShortIndex1(),
                                   transform.LongIndex2(), transform.ShortIndex2())) {
                found[kind] = pass;
                --missing;
            }
        }
    }
    for (std::size_t kind = 0; kind < kinds.size(); ++kind) {
        SCOPED_TRACE(kinds[kind].first);
        ASSERT_TRUE(found[kind].has_value());
        if (kind % kModelEvery == 0) {
            ExpectModelAgrees(*found[kind], random);
        }
        for (const int width : Widths()) {
            SCOPED_TRACE(::testing::Message() << "width " << width);
            ExpectVectorsAgree(*found[kind], width, 4000, random);
        }
    }
}

TEST(EngineAgreement, TransformMovesWithItsState) {
    std::mt19937 random(5);
    JobState state;
    Prepare(state, {'m', 'o', 'v', 'i', 'n', 'g'}, 'x', true);
    state.EncryptMode = true;
    CipherTransform whole(state);
    // Moved once the vector path runs.
    const auto cut = static_cast<std::size_t>(whole.VectorPathFrom()) + 1000;
    const Bytes input = RandomBytes(random, cut + 3000);
    const Bytes expected = RunInPieces(whole, true, input, random);

    CipherTransform first(state);
    Bytes output(input.size());
    const bool always = true;
    first.Encrypt(input.data(), output.data(), cut, always);
    CipherTransform moved(std::move(first));
    moved.Encrypt(input.data() + cut, output.data() + cut, input.size() - cut, always);
    EXPECT_EQ(output, expected);
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
