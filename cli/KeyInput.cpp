#include "KeyInput.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "Interrupts.h"

namespace velkor::cli {

namespace {

constexpr std::size_t kBlock = 64;

}  // namespace

KeyReadResult ReadKeyLine(int fd, SecretBytes& line) {
    line.clear();
    line.reserve(kMaxKeyLineBytes);
    std::array<std::uint8_t, kBlock> block{};
    KeyReadResult result = KeyReadResult::Read;
    while (true) {
        if (!WaitForInput(fd)) {
            result = KeyReadResult::Interrupted;
            break;
        }
        const std::size_t room = std::min(block.size(), kMaxKeyLineBytes - line.size());
        const ssize_t got = ::read(fd, block.data(), room);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            result = KeyReadResult::Failed;
            break;
        }
        std::uint8_t* end = block.data() + got;
        std::uint8_t* newline = std::find(block.data(), end, std::uint8_t{'\n'});
        line.insert(line.end(), block.data(), newline);
        if (got == 0 || newline != end) {
            break;
        }
        if (line.size() >= kMaxKeyLineBytes) {
            result = KeyReadResult::TooLong;
            break;
        }
    }
    SecureZero(block.data(), block.size());
    if (result == KeyReadResult::Read && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (result != KeyReadResult::Read) {
        SecureZero(line.data(), line.size());
        line.clear();
    }
    return result;
}

KeyReadResult AskOnTerminal(const char* prompt, SecretBytes& line, std::string& error) {
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) {
        error = "no terminal to ask for the key; give it with --pass";
        return KeyReadResult::Failed;
    }
    termios saved{};
    const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    [[maybe_unused]] const ssize_t shown = ::write(tty, prompt, std::strlen(prompt));
    const KeyReadResult result = ReadKeyLine(tty, line);
    if (isTerminal) {
        ::tcsetattr(tty, TCSAFLUSH, &saved);
    }
    [[maybe_unused]] const ssize_t newline = ::write(tty, "\n", 1);
    ::close(tty);
    if (result == KeyReadResult::Failed) {
        error = "cannot read the key from the terminal";
    } else if (result == KeyReadResult::TooLong) {
        error = "the key is longer than 128 characters";
    }
    return result;
}

}  // namespace velkor::cli
