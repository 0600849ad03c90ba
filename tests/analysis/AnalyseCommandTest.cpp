#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "ScriptedHost.h"
#include "SymbolAnalysis.h"
#include "TempDir.h"

namespace velkor {
namespace {

using testing::TempDir;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs velkor32-cli in the test's folder with the given (shell-quoted) arguments.
CliRun RunCli(const TempDir& dir, const std::string& arguments) {
    const std::string command = "cd '" + dir.Folder() + "' && '" VELKOR_CLI_PATH "' " + arguments +
                                " >'" + dir.Path("out") + "' 2>'" + dir.Path("err") + "'";
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = dir.Read("out");
    run.err = dir.Read("err");
    return run;
}

TEST(AnalyseCommand, WritesTheWindowsLogBesideTheFileAndPrintsItsPath) {
    TempDir dir;
    dir.Write("report.final.txt", "hello\r\nworld\f");
    const CliRun run = RunCli(dir, "analyse ./report.final.txt");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dir.Path("!report!.txt") + "\n");
    EXPECT_EQ(run.err, "");

    const std::string fromCli = dir.Read("!report!.txt");
    testing::ScriptedHost host;
    ASSERT_TRUE(SymbolAnalysis(host).Run(dir.Path("report.final.txt")));
    EXPECT_EQ(dir.Read("!report!.txt"), fromCli);
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
        EXPECT_NE(run.err.find("usage"), std::string::npos) << arguments;
        EXPECT_FALSE(dir.Exists("!a!.txt")) << arguments;
    }
}

}  // namespace
}  // namespace velkor
