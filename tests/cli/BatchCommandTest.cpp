#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "CliRunner.h"
#include "TempDir.h"

namespace velkor::testing {
namespace {

class BatchCommand : public ::testing::Test {
  protected:
    void SetUp() override { ::setenv("VELKOR_TEST_KEY", "batch key 1", 1); }

    CliRun Run(const std::string& arguments) {
        return RunCli(dir, arguments + " --pass env:VELKOR_TEST_KEY");
    }

    TempDir dir;
};

TEST_F(BatchCommand, EncryptsAndDecryptsManyFilesIntoAFolder) {
    std::string files;
    for (int i = 0; i < 5; ++i) {
        const std::string name = "file" + std::to_string(i) + ".txt";
        dir.Write(name, std::string(10000 + i * 777, static_cast<char>('a' + i)));
        files += " " + name;
    }
    std::filesystem::create_directory(dir.Path("enc"));
    std::filesystem::create_directory(dir.Path("back"));
    CliRun run = Run("encrypt --into enc --jobs 2" + files);
    ASSERT_EQ(run.status, 0) << run.err;
    for (int i = 0; i < 5; ++i) {
        const std::string name = "file" + std::to_string(i) + ".txt";
        std::string line = name;
        line += ": ok -> enc/" + name + ".vlk\n";
        EXPECT_NE(run.err.find(line), std::string::npos) << run.err;
    }
    run =
        Run("decrypt --into back enc/file0.txt.vlk enc/file1.txt.vlk enc/file2.txt.vlk "
            "enc/file3.txt.vlk enc/file4.txt.vlk");
    ASSERT_EQ(run.status, 0) << run.err;
    for (int i = 0; i < 5; ++i) {
        const std::string name = "file" + std::to_string(i) + ".txt";
        EXPECT_EQ(dir.Read("back/" + name), dir.Read(name)) << name;
    }
}

// One bad file fails alone: the others are still done, and the exit says so.
TEST_F(BatchCommand, FailedFilesDoNotStopTheOthers) {
    dir.Write("good", "good data");
    dir.Write("empty", "");
    std::filesystem::create_directory(dir.Path("out"));
    std::filesystem::create_directory(dir.Path("sub"));
    dir.Write("sub/good", "same name, other folder");
    const CliRun run = Run("encrypt --into out missing empty good sub/good");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("missing: failed: File conflict: missing"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("empty: failed: File: empty is empty!"), std::string::npos);
    EXPECT_NE(run.err.find("good: ok -> out/good.vlk"), std::string::npos);
    EXPECT_NE(run.err.find("sub/good: failed: out/good.vlk is already the result"),
              std::string::npos);

    const CliRun back = Run("decrypt --into . out/good.vlk good");
    EXPECT_EQ(back.status, 1);
    EXPECT_NE(back.err.find("good: failed: the name does not end in .vlk"), std::string::npos);
    EXPECT_EQ(dir.Read("good"), "good data");
}

TEST_F(BatchCommand, ExistingResultNeedsForce) {
    dir.Write("a", "first");
    std::filesystem::create_directory(dir.Path("out"));
    dir.Write("out/a.vlk", "keep me");
    CliRun run = Run("encrypt --into out a");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("already exists. Overwrite? (use --force to overwrite it)"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(dir.Read("out/a.vlk"), "keep me");
    EXPECT_EQ(Run("encrypt --into out a --force").status, 0);
    EXPECT_NE(dir.Read("out/a.vlk"), "keep me");
    const CliRun nowhere = Run("encrypt --into nowhere a");
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_NE(nowhere.err.find("--into"), std::string::npos);
}

}  // namespace
}  // namespace velkor::testing
