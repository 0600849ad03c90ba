#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "CliRunner.h"
#include "TempDir.h"

namespace velkor::testing {
namespace {

// A FIFO in any role is refused at once: nothing waits for a writer or a
// reader that never comes, and the FIFO is left as it was.
TEST(SpecialFiles, FifoInAnyRoleIsRefusedWithoutBlocking) {
    TempDir dir;
    dir.Write("plain", "some plain data");
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    ::setenv("VELKOR_TEST_KEY", "long enough", 1);
    const std::string pass = " --pass env:VELKOR_TEST_KEY";
    for (const std::string& arguments :
         {"encrypt fifo out" + pass, "encrypt plain fifo --force" + pass,
          "decrypt plain out --key-file fifo" + pass, "encrypt --into . fifo" + pass,
          std::string("groups fifo out"), std::string("groups plain fifo --force"),
          std::string("analyse fifo")}) {
        const CliRun run = RunCli(dir, arguments);
        EXPECT_EQ(run.status, 1) << arguments << ": " << run.err;
        EXPECT_FALSE(dir.Exists("out")) << arguments;
        struct stat info {};
        ASSERT_EQ(::lstat(dir.Path("fifo").c_str(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode)) << arguments;
    }
}

}  // namespace
}  // namespace velkor::testing
