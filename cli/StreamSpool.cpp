#include "StreamSpool.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "FileSystem.h"
#include "Interrupts.h"

namespace velkor::cli {

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 16;

// Writes all of count bytes; false on an error.
bool WriteAll(int to, const char* data, std::size_t count) {
    while (count > 0) {
        const ssize_t put = ::write(to, data, count);
        if (put < 0 && errno == EINTR && InterruptSignal() == 0) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        data += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

// Copies until the end of `from`; false on an error or an interrupt.
bool Copy(int from, int to) {
    std::vector<char> block(kBlock);
    while (InterruptSignal() == 0) {
        const ssize_t got = ::read(from, block.data(), block.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (!WriteAll(to, block.data(), static_cast<std::size_t>(got))) {
            return false;
        }
    }
    return false;
}

}  // namespace

StreamSpool::~StreamSpool() {
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool StreamSpool::Create() {
    std::string pattern = TemporaryFolder() + "velkor32-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        return false;
    }
    folder_ = pattern;
    return true;
}

bool SpoolInto(int from, const std::string& file) {
    const int to = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (to < 0) {
        return false;
    }
    const bool copied = Copy(from, to);
    return ::close(to) == 0 && copied;
}

bool CopyOut(const std::string& file, int to) {
    const int from = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (from < 0) {
        return false;
    }
    const bool copied = Copy(from, to);
    ::close(from);
    return copied;
}

}  // namespace velkor::cli
