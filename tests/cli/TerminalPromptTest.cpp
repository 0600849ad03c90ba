#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "TestPaths.h"

namespace velkor::testing {
namespace {

// velkor32-cli on a pseudo-terminal of its own, as a user at a keyboard runs it.
class TerminalSession {
  public:
    TerminalSession(const TempDir& folder, std::vector<std::string> arguments) {
        if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
            return;
        }
        arguments.insert(arguments.begin(), VELKOR_CLI_PATH);
        std::vector<char*> argv;
        argv.reserve(arguments.size() + 1);
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        child_ = ::fork();
        if (child_ == 0) {
            ::setsid();
            ::ioctl(slave_, TIOCSCTTY, 0);
            ::dup2(slave_, STDIN_FILENO);
            ::dup2(slave_, STDOUT_FILENO);
            ::dup2(slave_, STDERR_FILENO);
            ::close(master_);
            if (::chdir(folder.Folder().c_str()) != 0) {
                ::_exit(127);
            }
            // Core files allowed as far as may be, so that only the tool can stop them.
            rlimit core{};
            ::getrlimit(RLIMIT_CORE, &core);
            core.rlim_cur = core.rlim_max;
            ::setrlimit(RLIMIT_CORE, &core);
            ::alarm(60);  // a hung tool must not hold up the suite
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~TerminalSession() {
        if (child_ > 0 && status_ < 0) {
            ::kill(child_, SIGKILL);
            ::waitpid(child_, nullptr, 0);
        }
        ::close(master_);
        ::close(slave_);
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // Reads what the tool writes until `text` has appeared, for at most 30 s.
    bool WaitFor(const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (screen_.find(text, seen_) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd readable{master_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) <= 0 ||
                !ReadSome()) {
                return false;
            }
        }
        seen_ = screen_.find(text, seen_) + text.size();
        return true;
    }

    void Type(const std::string& keys) {
        ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }
    void Signal(int signal) const { ::kill(child_, signal); }
    pid_t Process() const { return child_; }

    bool EchoOn() const {
        termios settings{};
        return ::tcgetattr(slave_, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
    }

    // Exit status, 128 + N after signal N; everything the tool wrote is read.
    int Finish() {
        int raw = 0;
        if (::waitpid(child_, &raw, 0) == child_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        }
        pollfd readable{master_, POLLIN, 0};
        while (::poll(&readable, 1, 0) > 0 && ReadSome()) {
        }
        return status_;
    }

    const std::string& Screen() const { return screen_; }

  private:
    bool ReadSome() {
        char buffer[512];
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got <= 0) {
            return false;
        }
        screen_.append(buffer, static_cast<std::size_t>(got));
        return true;
    }

    int master_ = -1;
    int slave_ = -1;
    pid_t child_ = -1;
    int status_ = -1;
    std::string screen_;
    std::size_t seen_ = 0;
};

class TerminalPrompt : public ::testing::Test {
  protected:
    void SetUp() override { dir.Write("plain", std::string(5000, 'p')); }
    TempDir dir;
};

TEST_F(TerminalPrompt, KeyTypedTwiceWithoutEchoEncryptsAndDecrypts) {
    {
        TerminalSession session(dir, {"encrypt", "plain", "enc"});
        ASSERT_TRUE(session.WaitFor("Key: "));
        EXPECT_FALSE(session.EchoOn());
        session.Type("typed secret\n");
        ASSERT_TRUE(session.WaitFor("Key again: "));
        session.Type("typed secret\n");
        EXPECT_EQ(session.Finish(), 0) << session.Screen();
        EXPECT_TRUE(session.EchoOn());
        EXPECT_EQ(session.Screen().find("typed secret"), std::string::npos) << session.Screen();
    }
    TerminalSession session(dir, {"decrypt", "enc", "back"});
    ASSERT_TRUE(session.WaitFor("Key: "));
    session.Type("typed secret\n");
    EXPECT_EQ(session.Finish(), 0) << session.Screen();
    EXPECT_EQ(dir.Read("back"), dir.Read("plain"));
}

// While the tool holds a key, a crash writes no core file.
TEST_F(TerminalPrompt, NoCoreDumpWhileTheKeyIsAskedFor) {
    TerminalSession session(dir, {"decrypt", "plain", "out"});
    ASSERT_TRUE(session.WaitFor("Key: "));
    const std::string limits =
        ReadFileBytes("/proc/" + std::to_string(session.Process()) + "/limits");
    const auto line = limits.find("Max core file size");
    ASSERT_NE(line, std::string::npos) << limits;
    std::istringstream fields(limits.substr(line + std::string("Max core file size").size()));
    std::string soft;
    fields >> soft;
    EXPECT_EQ(soft, "0") << limits.substr(line, 80);
    session.Signal(SIGTERM);
    EXPECT_EQ(session.Finish(), 128 + SIGTERM);
}

TEST_F(TerminalPrompt, DifferentSecondKeyIsRefusedWithEchoBack) {
    TerminalSession session(dir, {"encrypt", "plain", "enc"});
    ASSERT_TRUE(session.WaitFor("Key: "));
    session.Type("typed secret\n");
    ASSERT_TRUE(session.WaitFor("Key again: "));
    session.Type("typed secreT\n");
    EXPECT_EQ(session.Finish(), 1);
    EXPECT_NE(session.Screen().find("the two keys differ"), std::string::npos);
    EXPECT_TRUE(session.EchoOn());
    EXPECT_FALSE(dir.Exists("enc"));
}

TEST_F(TerminalPrompt, OverlongTypedKeyIsRefused) {
    TerminalSession session(dir, {"decrypt", "plain", "out"});
    ASSERT_TRUE(session.WaitFor("Key: "));
    session.Type(std::string(600, 'k') + "\n");
    EXPECT_EQ(session.Finish(), 1);
    EXPECT_NE(session.Screen().find("longer than 128 characters"), std::string::npos);
    EXPECT_TRUE(session.EchoOn());
}

// Ctrl+C, a closed terminal or a kill at the prompt: the echo comes back, the
// tool says so and ends with 128 + the signal, and nothing was written.
TEST_F(TerminalPrompt, InterruptAtThePromptRestoresTheEcho) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        TerminalSession session(dir, {"encrypt", "plain", "enc"});
        ASSERT_TRUE(session.WaitFor("Key: "));
        ASSERT_FALSE(session.EchoOn());
        if (signal == SIGINT) {
            session.Type("half a ke\x03");
        } else {
            session.Signal(signal);
        }
        EXPECT_EQ(session.Finish(), 128 + signal);
        EXPECT_TRUE(session.EchoOn());
        EXPECT_NE(session.Screen().find("velkor32-cli: interrupted"), std::string::npos)
            << session.Screen();
        EXPECT_FALSE(dir.Exists("enc"));
    }
}

TEST_F(TerminalPrompt, EncryptedOutputIsNotWrittenToTheTerminal) {
    ::setenv("VELKOR_TEST_KEY", "long enough", 1);
    TerminalSession session(dir, {"encrypt", "plain", "-", "--pass", "env:VELKOR_TEST_KEY"});
    EXPECT_EQ(session.Finish(), 1);
    EXPECT_NE(session.Screen().find("encrypted output is not written to a terminal"),
              std::string::npos)
        << session.Screen();
    // Decrypted output is the user's own data: it may go there.
    ASSERT_EQ(
        std::system(("cd '" + dir.Folder() +
                     "' && '" VELKOR_CLI_PATH "' encrypt plain enc --pass env:VELKOR_TEST_KEY "
                     "2>/dev/null")
                        .c_str()),
        0);
    TerminalSession back(dir, {"decrypt", "enc", "-", "--pass", "env:VELKOR_TEST_KEY"});
    EXPECT_TRUE(back.WaitFor(std::string(100, 'p')));
    EXPECT_EQ(back.Finish(), 0) << back.Screen();
}

}  // namespace
}  // namespace velkor::testing
