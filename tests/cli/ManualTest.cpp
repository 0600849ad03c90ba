#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TempDir.h"
#include "TestPaths.h"

namespace velkor::testing {
namespace {

// Runs a shell command in a fresh folder and gives what it printed, both streams.
std::string Shell(const std::string& command) {
    const TempDir dir;
    dir.Write("run.sh", command + " >out 2>&1\n");
    ::testing::internal::CaptureStdout();
    const int status = std::system(("cd '" + dir.Folder() + "' && sh run.sh").c_str());
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0) << command;
    return dir.Read("out");
}

const std::string kManual = std::string(VELKOR_CLI_SOURCE_DIR) + "/velkor32-cli.1";
const std::string kCompletion = std::string(VELKOR_CLI_SOURCE_DIR) + "/velkor32-cli.bash";

TEST(Manual, RendersWithoutWarnings) {
    EXPECT_EQ(Shell("groff -man -Tutf8 -ww -z '" + kManual + "'"), "");
    const std::string page = Shell("groff -man -Tutf8 -P-cbou '" + kManual + "'");
    for (const char* section : {"KEY SOURCES", "STREAMS", "FILE SAFETY", "EXIT STATUS",
                                "WHAT THE FORMAT PROTECTS", "EXAMPLES"}) {
        EXPECT_NE(page.find(section), std::string::npos) << section;
    }
}

// What the completion offers after the words typed so far.
std::string Complete(const std::string& words) {
    return Shell("bash -c 'source \"" + kCompletion + "\"; COMP_WORDS=(velkor32-cli " + words +
                 "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _velkor32_cli; "
                 "printf \"%s\\n\" \"${COMPREPLY[@]}\"'");
}

TEST(Completion, OffersCommandsOptionsAndFiles) {
    EXPECT_EQ(Complete("enc"), "encrypt\n");
    EXPECT_EQ(Complete("decrypt --in"), "--into\n");
    EXPECT_EQ(Complete("groups --"), "--force\n--quiet\n--help\n--\n");
    EXPECT_EQ(Complete("encrypt --pass en"), "env:\n");
    EXPECT_NE(Complete("analyse /e").find("/etc"), std::string::npos);
}

}  // namespace
}  // namespace velkor::testing
