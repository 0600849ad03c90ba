#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CliRunner.h"
#include "ScriptedHost.h"
#include "SymbolAnalysis.h"
#include "TempDir.h"

namespace velkor {
namespace {

using testing::TempDir;

using testing::CliRun;
using testing::RunCli;

TEST(AnalyseCommand, WritesTheWindowsLogBesideTheFileAndPrintsItsPath) {
    TempDir dir;
    dir.Write("report.final.txt", "hello\r\nworld\f");
    const CliRun run = RunCli(dir, "analyse ./report.final.txt");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dir.Path("!report!.txt") + "\n");
    EXPECT_EQ(run.err, "");

    const std::string fromCli = dir.Read("!report!.txt");
    std::filesystem::remove(dir.Path("!report!.txt"));
    testing::ScriptedHost host;
    ASSERT_TRUE(SymbolAnalysis(host, FileSystem::Native()).Run(dir.Path("report.final.txt")));
    EXPECT_EQ(dir.Read("!report!.txt"), fromCli);
}

// The log and the printed path name the file without "." or ".." parts.
TEST(AnalyseCommand, NamesTheFileByItsNormalPath) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path("sub/deeper"));
    dir.Write("x.bin", "xyz");
    const CliRun run = RunCli(dir, "analyse sub/./deeper/../../x.bin");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dir.Path("!x!.txt") + "\n");
    const std::string log = dir.Read("!x!.txt");
    EXPECT_NE(log.find(" -> File Name:  " + dir.Path("x.bin") + "\r\n"), std::string::npos) << log;
}

TEST(AnalyseCommand, ReportsFailuresOnStandardError) {
    TempDir dir;
    dir.Write("empty", "");
    const CliRun empty = RunCli(dir, "analyse empty");
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.err, "File:\nempty\nis empty!\n");

    const CliRun missing = RunCli(dir, "analyse " + dir.Path("missing.bin"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "File:\nmissing.bin\nread error!\n");
    EXPECT_FALSE(dir.Exists("!missing!.txt"));
}

TEST(AnalyseCommand, WrongUsageExitsWith2) {
    TempDir dir;
    dir.Write("a", "a");
    for (const std::string arguments :
         {"analyse", "analyse a a", "analyse --force a", "analyse ''"}) {
        const CliRun run = RunCli(dir, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find("velkor32-cli analyse --help"), std::string::npos) << arguments;
        EXPECT_FALSE(dir.Exists("!a!.txt")) << arguments;
    }
}

}  // namespace
}  // namespace velkor
