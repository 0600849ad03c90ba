#include "KeySource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace velkor::cli {

namespace {

KeyReadResult AskTwice(SecretBytes& text, std::string& error) {
    const KeyReadResult first = AskOnTerminal("Key: ", text, error);
    if (first != KeyReadResult::Read) {
        return first;
    }
    SecretBytes again;
    const KeyReadResult second = AskOnTerminal("Key again: ", again, error);
    if (second != KeyReadResult::Read) {
        SecureZero(text.data(), text.size());
        text.clear();
        return second;
    }
    if (again != text) {
        SecureZero(text.data(), text.size());
        text.clear();
        error = "the two keys differ";
        return KeyReadResult::Failed;
    }
    return KeyReadResult::Read;
}

bool IsStandardInput(int fd) {
    struct stat given {};
    struct stat input {};
    return fd == STDIN_FILENO || (::fstat(fd, &given) == 0 && ::fstat(STDIN_FILENO, &input) == 0 &&
                                  given.st_dev == input.st_dev && given.st_ino == input.st_ino);
}

KeyReadResult ReadFromDescriptor(const KeySource& source, int fd, SecretBytes& text,
                                 std::string& error) {
    if (source.standardInputIsData && IsStandardInput(fd)) {
        error = "the key cannot come from standard input: it carries the data";
        return KeyReadResult::Failed;
    }
    const KeyReadResult result = ReadKeyLine(fd, text);
    if (result == KeyReadResult::Failed) {
        error = "cannot read the key from " + source.from;
    } else if (result == KeyReadResult::TooLong) {
        error = "the key from " + source.from + " is longer than 128 characters";
    }
    return result;
}

}  // namespace

KeyReadResult ReadKeyText(const KeySource& source, SecretBytes& text, std::string& error) {
    const std::string& from = source.from;
    if (from.empty()) {
        if (source.askTwice) {
            return AskTwice(text, error);
        }
        return AskOnTerminal("Key: ", text, error);
    }
    const auto colon = from.find(':');
    const std::string kind = from.substr(0, colon);
    const std::string value = colon == std::string::npos ? std::string() : from.substr(colon + 1);
    if (colon == std::string::npos || value.empty()) {
        error = "--pass takes env:NAME, file:PATH or fd:N";
        return KeyReadResult::Failed;
    }
    if (kind == "env") {
        char* variable = std::getenv(value.c_str());
        if (variable == nullptr) {
            error = "environment variable " + value + " is not set";
            return KeyReadResult::Failed;
        }
        const std::size_t length = ::strnlen(variable, kMaxKeyLineBytes + 1);
        if (length > kMaxKeyLineBytes) {
            error = "the key in " + value + " is longer than 128 characters";
            return KeyReadResult::TooLong;
        }
        text.reserve(length);
        text.assign(variable, variable + length);
        // The environment is this process's own memory: no second copy stays.
        SecureZero(variable, length);
        return KeyReadResult::Read;
    }
    if (kind == "file") {
        const int fd = ::open(value.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            error = "cannot open the key source " + from;
            return KeyReadResult::Failed;
        }
        const KeyReadResult result = ReadFromDescriptor(source, fd, text, error);
        ::close(fd);
        return result;
    }
    if (kind == "fd" && value.size() < 10 &&
        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int fd = std::atoi(value.c_str());
        if (::fcntl(fd, F_GETFD) < 0) {
            error = "cannot open the key source " + from;
            return KeyReadResult::Failed;
        }
        return ReadFromDescriptor(source, fd, text, error);
    }
    error = "--pass takes env:NAME, file:PATH or fd:N";
    return KeyReadResult::Failed;
}

}  // namespace velkor::cli
