#include "KeySource.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace velkor::cli {

namespace {

// Reads up to the first line end (or the end) from a descriptor.
std::optional<std::string> ReadLine(int fd) {
    std::string line;
    char c = 0;
    while (true) {
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (got == 0 || c == '\n') {
            break;
        }
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::optional<std::string> AskOnTerminal(const char* prompt, std::string& error) {
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0) {
        error = "no terminal to ask for the key; give it with --pass";
        return std::nullopt;
    }
    termios saved{};
    const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    [[maybe_unused]] const ssize_t shown = ::write(tty, prompt, std::strlen(prompt));
    auto line = ReadLine(tty);
    if (isTerminal) {
        ::tcsetattr(tty, TCSAFLUSH, &saved);
    }
    [[maybe_unused]] const ssize_t newline = ::write(tty, "\n", 1);
    ::close(tty);
    if (!line) {
        error = "cannot read the key from the terminal";
    }
    return line;
}

}  // namespace

std::optional<std::string> ReadKeyText(const std::string& from, bool askTwice, std::string& error) {
    if (from.empty()) {
        auto key = AskOnTerminal("Key: ", error);
        if (!key || !askTwice) {
            return key;
        }
        const auto again = AskOnTerminal("Key again: ", error);
        if (!again) {
            return std::nullopt;
        }
        if (*again != *key) {
            error = "the two keys differ";
            return std::nullopt;
        }
        return key;
    }
    const auto colon = from.find(':');
    const std::string kind = from.substr(0, colon);
    const std::string value = colon == std::string::npos ? std::string() : from.substr(colon + 1);
    if (colon == std::string::npos || value.empty()) {
        error = "--pass takes env:NAME, file:PATH or fd:N";
        return std::nullopt;
    }
    if (kind == "env") {
        const char* text = std::getenv(value.c_str());
        if (text == nullptr) {
            error = "environment variable " + value + " is not set";
            return std::nullopt;
        }
        return std::string(text);
    }
    if (kind == "file" || kind == "fd") {
        int fd = -1;
        if (kind == "file") {
            fd = ::open(value.c_str(), O_RDONLY | O_CLOEXEC);
        } else if (value.find_first_not_of("0123456789") == std::string::npos &&
                   value.size() < 10) {
            fd = std::atoi(value.c_str());
        }
        if (fd < 0) {
            error = "cannot open the key source " + from;
            return std::nullopt;
        }
        auto line = ReadLine(fd);
        if (kind == "file") {
            ::close(fd);
        }
        if (!line) {
            error = "cannot read the key from " + from;
        }
        return line;
    }
    error = "--pass takes env:NAME, file:PATH or fd:N";
    return std::nullopt;
}

}  // namespace velkor::cli
