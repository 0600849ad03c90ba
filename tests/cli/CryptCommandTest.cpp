#include <gtest/gtest.h>

#include <cstdlib>

#include "CliRunner.h"
#include "KnownAnswers.h"
#include "TempDir.h"
#include "TestPaths.h"

namespace velkor {
namespace {

using testing::CliRun;
using testing::TempDir;

const std::string kVectors = std::string(VELKOR_TEST_DATA_DIR) + "/vectors";

// Runs the command-line tool with the key in VELKOR_TEST_KEY.
CliRun Cli(const TempDir& dir, const std::string& key, const std::string& args) {
    ::setenv("VELKOR_TEST_KEY", key.c_str(), 1);
    return testing::RunCli(dir, args);
}

class CryptCommand : public ::testing::Test {
  protected:
    TempDir dir;
};

TEST_F(CryptCommand, RoundTripWithKeyFileAndExtension) {
    std::string plain;
    for (int i = 0; i < 20000; ++i) {
        plain += static_cast<char>(i * 7);
    }
    dir.Write("plain", plain);
    dir.Write("keys", std::string(600, 'k'));
    const std::string options = " --pass env:VELKOR_TEST_KEY --key-file keys --extension Z";
    EXPECT_EQ(Cli(dir, "secret key", "encrypt plain enc" + options).status, 0);
    const CliRun back = Cli(dir, "secret key", "decrypt enc back" + options);
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(dir.Read("back"), plain);
    EXPECT_NE(back.err.find("compiled to"), std::string::npos);
    EXPECT_FALSE(dir.Exists("VELKOR.VLK"));
}

TEST_F(CryptCommand, DecryptsKnownAnswerFiles) {
    for (const auto& c : testing::LoadCipherCases(kVectors + "/cipher")) {
        SCOPED_TRACE(c.name);
        dir.Write("cipher", std::string(c.cipher.begin(), c.cipher.end()));
        dir.Write("key.txt", std::string(c.key.begin(), c.key.end()));
        dir.Write("keys", std::string(c.keyFile.begin(), c.keyFile.end()));
        std::string args = "decrypt cipher out --force --pass file:key.txt";
        if (c.extension != 0) {
            args += std::string(" --extension ") + static_cast<char>(c.extension);
        }
        if (!c.swift) {
            args += " --no-swift";
        }
        if (c.hasKeyFile) {
            args += " --key-file keys";
        }
        const CliRun run = Cli(dir, "", args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(dir.Read("out"), std::string(c.decrypted.begin(), c.decrypted.end()));
    }
}

TEST_F(CryptCommand, RefusalsAndFailuresExitWithOne) {
    dir.Write("plain", "some data");
    const std::string pass = " --pass env:VELKOR_TEST_KEY";
    CliRun run = Cli(dir, "short", "encrypt plain enc" + pass);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Key must be:\n - Longer than 6 characters."), std::string::npos);

    ASSERT_EQ(Cli(dir, "long enough", "encrypt plain enc" + pass).status, 0);
    run = Cli(dir, "long enough", "encrypt plain enc" + pass);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("already exists. Overwrite?"), std::string::npos);
    EXPECT_EQ(Cli(dir, "long enough", "encrypt plain enc --force" + pass).status, 0);

    run = Cli(dir, "another key", "decrypt enc back" + pass);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("File:\nenc\nkey does not match!"), std::string::npos);

    run = Cli(dir, "long enough", "encrypt plain plain2 --key-file plain" + pass);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("File conflict:\nplain"), std::string::npos);

    run = Cli(dir, "long enough", "encrypt missing out" + pass);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("File conflict:\nmissing"), std::string::npos);

    // The checks come in their order: the key before the files.
    run = Cli(dir, "tiny", "encrypt missing out" + pass);
    EXPECT_NE(run.err.find("Key must be"), std::string::npos);
    EXPECT_EQ(run.err.find("File conflict"), std::string::npos);
}

TEST_F(CryptCommand, KeySourcesAndCharacterSet) {
    dir.Write("plain", "data");
    dir.Write("key.txt", "Grüße aus Köln\r\nsecond line");
    EXPECT_EQ(Cli(dir, "", "encrypt plain a --pass file:key.txt").status, 0);
    // The same key as Windows-1252 bytes from the environment gives the same key.
    EXPECT_EQ(Cli(dir,
                  "Gr\xfc\xdf"
                  "e aus K\xf6ln",
                  "decrypt a b --pass env:VELKOR_TEST_KEY")
                  .status,
              0);
    EXPECT_EQ(dir.Read("b"), "data");
    EXPECT_EQ(Cli(dir, "", "decrypt a c --pass fd:3 3<key.txt").status, 0);
    EXPECT_EQ(dir.Read("c"), "data");
    EXPECT_EQ(
        Cli(dir, "\xe2\x82\xac uro \xe2\x88\x9e", "encrypt plain d --pass env:VELKOR_TEST_KEY")
            .status,
        1);
}

// Every wrong usage is exit 2 and names what was wrong, before any key is read.
TEST_F(CryptCommand, WrongUsageExitsWithTwoNamingTheOption) {
    dir.Write("plain", "data");
    const std::string pass = " --pass env:VELKOR_TEST_KEY";
    const std::pair<std::string, std::string> cases[] = {
        {"encrypt plain", "SOURCE and DRAIN"},
        {"encrypt plain out --bogus", "--bogus"},
        {"encrypt plain out --pass env:A --pass env:B", "--pass"},
        {"encrypt plain out --force --force" + pass, "--force"},
        {"decrypt plain out --key-file a --key-file b" + pass, "--key-file"},
        {"encrypt plain out --extension ab" + pass, "--extension"},
        {"encrypt plain out --jobs 2" + pass, "--jobs"},
        {"encrypt --into . plain --jobs 0" + pass, "--jobs"},
        {"encrypt plain out --pass", "--pass"},
        {"frobnicate", "frobnicate"},
    };
    for (const auto& [arguments, named] : cases) {
        const CliRun run = Cli(dir, "long enough", arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find(named), std::string::npos) << arguments << ": " << run.err;
        EXPECT_FALSE(dir.Exists("out")) << arguments;
    }
    const CliRun run = Cli(dir, "", "encrypt plain out");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("--pass"), std::string::npos);
}

TEST_F(CryptCommand, HelpPerCommandAndEndOfOptions) {
    const CliRun help = Cli(dir, "", "decrypt --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--key-file"), std::string::npos);
    EXPECT_NE(help.out.find("--into"), std::string::npos);

    // After "--" a name that looks like an option is a file.
    dir.Write("-plain", "dash data");
    const std::string pass = " --pass env:VELKOR_TEST_KEY";
    ASSERT_EQ(Cli(dir, "long enough", "encrypt" + pass + " -- -plain -enc").status, 0);
    ASSERT_EQ(Cli(dir, "long enough", "decrypt" + pass + " -- -enc -back").status, 0);
    EXPECT_EQ(dir.Read("-back"), "dash data");
}

TEST_F(CryptCommand, EmptyExtensionIsNoExtension) {
    dir.Write("plain", "some data for the extension");
    const std::string pass = " --pass env:VELKOR_TEST_KEY";
    ASSERT_EQ(Cli(dir, "long enough", "encrypt plain enc --extension ''" + pass).status, 0);
    ASSERT_EQ(Cli(dir, "long enough", "decrypt enc back" + pass).status, 0);
    EXPECT_EQ(dir.Read("back"), "some data for the extension");
}

// A key source without a line end must neither hang nor grow: refused at once.
TEST_F(CryptCommand, EndlessKeySourceIsRefused) {
    dir.Write("plain", "data");
    for (const std::string from : {"file:/dev/zero", "fd:3 3</dev/zero"}) {
        const CliRun run = Cli(dir, "", "decrypt plain out --pass " + from);
        EXPECT_EQ(run.status, 1) << from;
        EXPECT_NE(run.err.find("longer than 128 characters"), std::string::npos) << run.err;
    }
    ::setenv("VELKOR_LONG_KEY", std::string(600, 'k').c_str(), 1);
    EXPECT_EQ(Cli(dir, "", "decrypt plain out --pass env:VELKOR_LONG_KEY").status, 1);
    EXPECT_FALSE(dir.Exists("out"));
}

}  // namespace
}  // namespace velkor
