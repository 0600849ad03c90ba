#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "CliRunner.h"
#include "ConvertFixture.h"
#include "TempDir.h"
#include "TestPaths.h"

namespace velkor::testing {
namespace {

class Streams : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("VELKOR_TEST_KEY", "stream key", 1);
        plain = RandomBytes(700000, 11);
        dir.Write("plain", plain);
        dir.Write("keys", RandomBytes(1000, 12));
    }

    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Folder())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    TempDir dir;
    std::string plain;
};

TEST_F(Streams, PipelineRoundTripsWithAndWithoutKeyFile) {
    for (const std::string options : {"", " --key-file keys --extension Q"}) {
        SCOPED_TRACE(options);
        const std::string pass = " --pass env:VELKOR_TEST_KEY" + options;
        const CliRun in = RunShell(dir, "cat plain | \"$VELKOR_CLI\" encrypt - enc --force" + pass);
        ASSERT_EQ(in.status, 0) << in.err;
        const CliRun out = RunCli(dir, "decrypt enc -" + pass);
        ASSERT_EQ(out.status, 0) << out.err;
        EXPECT_TRUE(out.out == plain);
        // Both ends streams, through two tools in one pipeline.
        std::string pipeline = "\"$VELKOR_CLI\" encrypt - -" + pass;
        pipeline += " <plain | \"$VELKOR_CLI\" decrypt - -" + pass;
        const CliRun both = RunShell(dir, pipeline);
        ASSERT_EQ(both.status, 0) << both.err;
        EXPECT_TRUE(both.out == plain);
    }
    // The stream gives the same file as the named source would: it decrypts the same way.
    ASSERT_EQ(RunCli(dir, "encrypt plain named --pass env:VELKOR_TEST_KEY").status, 0);
    EXPECT_TRUE(RunCli(dir, "decrypt - - --pass env:VELKOR_TEST_KEY", dir.Path("named")).out ==
                plain);
}

TEST_F(Streams, KeyNeverComesFromTheDataStream) {
    for (const std::string from : {"fd:0", "file:/dev/stdin"}) {
        const CliRun run = RunCli(dir, "encrypt - enc --pass " + from, dir.Path("plain"));
        EXPECT_EQ(run.status, 1) << from;
        EXPECT_NE(run.err.find("cannot come from standard input"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(dir.Exists("enc"));
}

TEST_F(Streams, ClosedOutputPipeEndsTheJobWithAMessage) {
    const CliRun run = RunShell(dir,
                                "{ \"$VELKOR_CLI\" encrypt plain - --pass env:VELKOR_TEST_KEY; "
                                "echo $? >status; } | true");
    EXPECT_EQ(dir.Read("status"), "1\n");
    EXPECT_NE(run.err.find("velkor32-cli: standard output was closed before the end"),
              std::string::npos)
        << run.err;
}

TEST_F(Streams, InputThatEndsInsideTheHeaderIsNoMatch) {
    ASSERT_EQ(RunCli(dir, "encrypt plain enc --pass env:VELKOR_TEST_KEY").status, 0);
    dir.Write("cut", dir.Read("enc").substr(0, 10));
    const CliRun run = RunCli(dir, "decrypt - out --pass env:VELKOR_TEST_KEY", dir.Path("cut"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("File:\nstandard input\nkey does not match!"), std::string::npos)
        << run.err;
    EXPECT_FALSE(dir.Exists("out"));
}

// velkor32-cli reading standard input from a pipe that the test writes.
class PipedTool {
  public:
    PipedTool(const TempDir& folder, const char* const* arguments) {
        int ends[2];
        if (::pipe(ends) != 0) {
            return;
        }
        child_ = ::fork();
        if (child_ == 0) {
            ::dup2(ends[0], STDIN_FILENO);
            ::close(ends[0]);
            ::close(ends[1]);
            const int err =
                ::open(folder.Path("stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(err, STDERR_FILENO);
            if (::chdir(folder.Folder().c_str()) != 0) {
                ::_exit(127);
            }
            ::alarm(60);
            ::execv(VELKOR_CLI_PATH, const_cast<char* const*>(arguments));
            ::_exit(127);
        }
        ::close(ends[0]);
        input_ = ends[1];
    }
    ~PipedTool() {
        ::close(input_);
        if (child_ > 0 && !finished_) {
            ::kill(child_, SIGKILL);
            ::waitpid(child_, nullptr, 0);
        }
    }
    PipedTool(const PipedTool&) = delete;
    PipedTool& operator=(const PipedTool&) = delete;

    // Returns once the tool has taken all but a pipe's worth of it.
    bool Feed(const std::string& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = ::write(input_, bytes.data() + done, bytes.size() - done);
            if (wrote <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(wrote);
        }
        return true;
    }
    void Signal(int signal) const { ::kill(child_, signal); }
    int Finish() {
        int raw = 0;
        finished_ = ::waitpid(child_, &raw, 0) == child_;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }

  private:
    pid_t child_ = -1;
    int input_ = -1;
    bool finished_ = false;
};

// A signal in the middle of a job, while it waits for more input: the old
// drain stays as it was, no file of the job is left, and the exit says which
// signal it was.
TEST_F(Streams, SignalDuringAJobLeavesTheDrainAndNoFile) {
    ::signal(SIGPIPE, SIG_IGN);
    for (const char* keyFile : {"", "keys"}) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(std::string(keyFile) + " " + std::to_string(signal));
            dir.Write("drain", "the old drain");
            std::set<std::string> before = Entries();
            before.erase("stderr.txt");
            const char* withKeyFile[] = {
                VELKOR_CLI_PATH,       "encrypt",    "-",     "drain", "--force", "--pass",
                "env:VELKOR_TEST_KEY", "--key-file", keyFile, nullptr};
            const char* plainJob[] = {
                VELKOR_CLI_PATH,       "encrypt", "-", "drain", "--force", "--pass",
                "env:VELKOR_TEST_KEY", nullptr};
            PipedTool tool(dir, *keyFile != '\0' ? withKeyFile : plainJob);
            // A megabyte through a pipe of 64 KiB: the job is running when this returns.
            ASSERT_TRUE(tool.Feed(RandomBytes(1 << 20, 13)));
            tool.Signal(signal);
            EXPECT_EQ(tool.Finish(), 128 + signal);
            const std::string errors = dir.Read("stderr.txt");
            EXPECT_EQ(errors, "velkor32-cli: interrupted\n");
            EXPECT_EQ(dir.Read("drain"), "the old drain");
            std::set<std::string> after = Entries();
            after.erase("stderr.txt");
            EXPECT_EQ(after, before);
        }
    }
}

TEST_F(Streams, GroupTextThroughAPipelineBothWays) {
    ::setenv("TMPDIR", dir.Folder().c_str(), 1);
    const CliRun both =
        RunShell(dir, "\"$VELKOR_CLI\" groups - - <plain | \"$VELKOR_CLI\" groups - -");
    ::unsetenv("TMPDIR");
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_TRUE(both.out == plain);
    // The same text as from named files, and no spool left behind.
    ASSERT_EQ(RunCli(dir, "groups plain named.txt").status, 0);
    EXPECT_TRUE(RunShell(dir, "\"$VELKOR_CLI\" groups - - <plain").out == dir.Read("named.txt"));
    EXPECT_EQ(Entries(), (std::set<std::string>{"keys", "named.txt", "plain"}));
    // Text that is not group text is refused without output.
    const CliRun half =
        RunShell(dir, "printf '/////\\r\\nABCDE FGHIJ\\r\\n' | \"$VELKOR_CLI\" groups - -");
    EXPECT_EQ(half.status, 1);
    EXPECT_TRUE(half.out.empty());
}

}  // namespace
}  // namespace velkor::testing
