#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CliRunner.h"
#include "ConvertFixture.h"

namespace velkor::testing {
namespace {

class GroupsCommand : public ::testing::Test {
  protected:
    // Runs velkor32-cli with the arguments in the test folder; keeps its error output.
    int Run(const std::string& arguments) {
        const CliRun run = RunCli(dir, arguments);
        errors = run.err;
        return run.status;
    }

    TempDir dir;
    std::string errors;
};

TEST_F(GroupsCommand, RoundTripThroughTheCommand) {
    const std::string bytes = RandomBytes(300000, 5);
    dir.Write("data.bin", bytes);
    ASSERT_EQ(Run("groups data.bin data.txt"), 0);
    // Where the result is, without the window's offer to open it: nobody answers.
    EXPECT_EQ(errors,
              dir.Path("data.bin") + "\ngroups formed in file\n" + dir.Path("data.txt") + "\n");
    ASSERT_EQ(Run("groups data.txt data.out"), 0);
    EXPECT_NE(errors.find("groups resolved in file"), std::string::npos);
    EXPECT_EQ(dir.Read("data.out"), bytes);
}

TEST_F(GroupsCommand, ExistingDrainNeedsForce) {
    dir.Write("a", "abc");
    dir.Write("b", "keep");
    EXPECT_EQ(Run("groups a b"), 1);
    EXPECT_NE(errors.find("--force"), std::string::npos);
    EXPECT_EQ(dir.Read("b"), "keep");
    EXPECT_EQ(Run("groups a b --force"), 0);
    EXPECT_EQ(dir.Read("b").substr(0, 7), "/////\r\n");
    // What the save dialog refuses, --force does not allow either.
    std::filesystem::create_directory(dir.Path("folder"));
    EXPECT_EQ(Run("groups a folder --force"), 1);
    EXPECT_EQ(errors, "velkor32-cli: " + dir.Path("folder") + " is a folder\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("folder")));
}

TEST_F(GroupsCommand, FailuresAndWrongUsage) {
    dir.Write("half", "/////\r\nABC\r\nDEF GHI\r\n");
    EXPECT_EQ(Run("groups half out"), 1);
    EXPECT_EQ(errors, "End sequence ///// not found!\n");
    EXPECT_FALSE(dir.Exists("out"));

    EXPECT_EQ(Run("groups half ./half --force"), 1);
    EXPECT_EQ(errors, "Duplicated file names:\n\nSource: half\nDrain: half\n\n");
    EXPECT_EQ(dir.Read("half"), "/////\r\nABC\r\nDEF GHI\r\n");

    dir.Write("empty", "");
    EXPECT_EQ(Run("groups empty out2"), 1);
    EXPECT_EQ(errors, "File:\nempty\nis empty!\n");
    EXPECT_EQ(Run("groups missing out3"), 1);

    EXPECT_EQ(Run("groups"), 2);
    EXPECT_EQ(Run("groups half"), 2);
    EXPECT_EQ(Run("groups half out4 extra"), 2);
    EXPECT_EQ(Run("groups half out4 --fast"), 2);
    // An empty stream is an empty file.
    EXPECT_EQ(Run("groups - out4"), 1);
    EXPECT_FALSE(dir.Exists("out4"));
}

}  // namespace
}  // namespace velkor::testing
