#include <gtest/gtest.h>

#include "KnownAnswers.h"
#include "LiteralModel.h"
#include "TestPaths.h"

// The literal model is the reference for the fast engine, so it is itself held
// to the worked examples and to the known answers of an independent implementation.
namespace velkor::literal {
namespace {

using testing::FromHex;
using testing::ToHex;

const std::string kVectors = std::string(VELKOR_TEST_DATA_DIR) + "/vectors";

TEST(LiteralModel, ChainCodingWorkedExamples) {
    State s;
    EXPECT_EQ(ChainEncode(s, 65, false), 126);
    EXPECT_EQ(s.ChainBit, '0');
    EXPECT_FALSE(s.ReversedOrder);
    s = State{};
    EXPECT_EQ(ChainDecode(s, 126, false), 65);
    s = State{};
    EXPECT_EQ(ChainEncode(s, 65, true), 212);
    EXPECT_EQ(s.ChainBit, '0');
    EXPECT_TRUE(s.ReversedOrder);
    s = State{};
    EXPECT_EQ(ChainDecode(s, 212, true), 65);
    EXPECT_TRUE(s.ReversedOrder);
    s = State{};
    s.ChainBit = '1';
    s.ReversedOrder = true;
    EXPECT_EQ(ChainEncode(s, 65, false), 129);
    EXPECT_EQ(s.ChainBit, '1');
    EXPECT_TRUE(s.ReversedOrder);
}

TEST(LiteralModel, BitOrderThresholds) {
    State s;
    s.ReversedOrder = true;
    UpdateBitOrder(s, 84);
    EXPECT_FALSE(s.ReversedOrder);
    UpdateBitOrder(s, 171);
    EXPECT_TRUE(s.ReversedOrder);
    UpdateBitOrder(s, 85);
    UpdateBitOrder(s, 170);
    EXPECT_TRUE(s.ReversedOrder);
}

TEST(LiteralModel, KeystreamWorkedExample) {
    State s;
    s.Swift = true;
    s.Register8 = "00000001";
    s.Register11 = std::string(11, '1');
    s.Register236 = std::string(236, '1');
    State first = s;
    ClockRegisters(first);
    EXPECT_EQ(first.Register8, "10000000");
    ClockRegisters(first);
    EXPECT_EQ(first.Register8, "11000000");
    ClockRegisters(first);
    EXPECT_EQ(first.Register8, "11100000");
    EXPECT_EQ(ApplyKeystream(s, 0), 216);
    EXPECT_EQ(s.Register8, "00110111");
}

TEST(LiteralModel, Register999IsSilentForItsFirst59Clocks) {
    State on;
    on.Register8 = "10110011";
    on.Register11 = std::string(11, '1');
    on.Register236 = std::string(236, '1');
    State off = on;
    off.Swift = false;
    off.Register999 = std::string(999, '1');
    for (int byte = 0; byte < 7; ++byte) {
        EXPECT_EQ(ApplyKeystream(on, byte), ApplyKeystream(off, byte)) << byte;
    }
    EXPECT_NE(ApplyKeystream(on, 0), ApplyKeystream(off, 0));
}

TEST(LiteralModel, PassSetupWorkedExamples) {
    State s;
    s.PassKeyExtension = 65;
    PassSetup(s);
    EXPECT_EQ(s.LongIndex1, 66);
    EXPECT_EQ(s.ShortIndex1, 3);
    for (const int e : {0, 254}) {
        s.PassKeyExtension = e;
        PassSetup(s);
        EXPECT_EQ(s.LongIndex1, 1);
        EXPECT_EQ(s.ShortIndex1, 25);
    }
    s.PassKeyExtension = 253;
    PassSetup(s);
    EXPECT_EQ(s.LongIndex1, 254);
    EXPECT_EQ(s.ShortIndex1, 14);
    s.PassKeyExtension = 65;
    s.PassKey[67] = 255;
    PassSetup(s);
    EXPECT_EQ(s.LongIndex2, ((65 ^ 3) % 254) + 1);
}

TEST(LiteralModel, KeystreamOffLeavesRegistersAlone) {
    State s = PreparedPass({'s', 'e', 'c', 'r', 'e', 't'}, 0, true);
    const State before = s;
    DecryptStep(s, 77, false);
    EXPECT_EQ(s.Register8, before.Register8);
    EXPECT_EQ(s.Register11, before.Register11);
    EXPECT_EQ(s.Register236, before.Register236);
}

TEST(LiteralModel, KeyMaterialMatchesKnownAnswers) {
    const auto files = testing::ExpandCaseFiles(kVectors + "/expand");
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        SCOPED_TRACE(file);
        auto v = testing::ReadKeyValues(file);
        State s;
        s.Swift = v["Swift"] == "on";
        SetPassKey(s, FromHex(v["Key"]), std::stoi(v["Extension"]));
        ExpandPassKey(s);
        testing::Bytes expanded(s.ExpandedKey.begin() + 1, s.ExpandedKey.end());
        EXPECT_EQ(ToHex(expanded), v["ExpandedKey"]);
        EXPECT_EQ(s.Phase3Cycles, std::stoi(v["Phase3Cycles"]));
        PreparePassTables(s);
        EXPECT_EQ(s.KeySum, std::stoi(v["KeySum"]));
        EXPECT_EQ(s.Steps, std::stoi(v["Steps"]));
        EXPECT_EQ(s.DerivedExtension, std::stoi(v["DerivedExtension"]));
        EXPECT_EQ(s.PassKeyExtension, std::stoi(v["PassKeyExtension"]));
        EXPECT_EQ(s.ReversedOrder ? "True" : "False", v["ReversedOrder"]);
        EXPECT_EQ(s.Register8, v["Register8"]);
        EXPECT_EQ(s.Register11, v["Register11"]);
        testing::Bytes remainders(s.KeyRemainders.begin() + 1, s.KeyRemainders.end());
        EXPECT_EQ(ToHex(remainders), v["KeyRemainders"]);
        testing::Bytes masked(s.PassKey.begin() + 1, s.PassKey.end());
        EXPECT_EQ(ToHex(masked), v["MaskedPassKey"]);
        PassSetup(s);
        EXPECT_EQ(s.LongIndex1, std::stoi(v["LongIndex1"]));
        EXPECT_EQ(s.ShortIndex1, std::stoi(v["ShortIndex1"]));
        EXPECT_EQ(s.LongIndex2, std::stoi(v["LongIndex2"]));
        EXPECT_EQ(s.ShortIndex2, std::stoi(v["ShortIndex2"]));
    }
}

TEST(LiteralModel, JobsMatchKnownAnswers) {
    const auto cases = testing::LoadCipherCases(kVectors + "/cipher");
    ASSERT_GE(cases.size(), 5U);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EncryptJob(c.key, c.extension, c.swift, c.keyFile, c.plain, c.headerLengths),
                  c.cipher);
        EXPECT_EQ(DecryptJob(c.key, c.extension, c.swift, c.keyFile, c.cipher), c.decrypted);
    }
}

}  // namespace
}  // namespace velkor::literal
