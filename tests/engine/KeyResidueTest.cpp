#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CompileJob.h"
#include "CompileRequest.h"
#include "ScriptedHost.h"
#include "TempDir.h"

namespace velkor {
namespace {

using testing::ScriptedHost;
using testing::TempDir;

// The key only ever exists masked in the test, so that the needle of the
// search cannot be what it finds.
constexpr std::uint8_t kMask = 0x5A;
// 48 bytes, searched for in slices of 16: the allocator's bookkeeping may
// overwrite the start of a freed buffer, never all of it.
const std::vector<std::uint8_t> kMaskedKey = [] {
    const char* masked =
        "\x08\x3f\x29\x33\x3e\x2f\x3f\x77\x0a\x28\x35\x38\x3f\x79\x6d\x2b"
        "\x00\x7b\x1e\x3f\x2e\x3f\x39\x2e\x33\x35\x34\x7a\x09\x3f\x39\x28"
        "\x3f\x2e\x77\x09\x2e\x3b\x39\x31\x7a\x62\x6d\x6b\x6a\x05\x63\x1b";
    return std::vector<std::uint8_t>(masked, masked + 48);
}();
constexpr std::size_t kSlice = 16;

SecretBytes UnmaskedKey() {
    SecretBytes key;
    for (const auto byte : kMaskedKey) {
        key.push_back(static_cast<std::uint8_t>(byte ^ kMask));
    }
    return key;
}

// True when a slice of the key stands anywhere in the process's writable memory.
bool KeyInMemory() {
    std::ifstream maps("/proc/self/maps");
    const int memory = ::open("/proc/self/mem", O_RDONLY | O_CLOEXEC);
    EXPECT_GE(memory, 0);
    SecretBytes chunk(1 << 20);
    const std::size_t keep = kSlice - 1;
    bool found = false;
    std::string line;
    while (!found && std::getline(maps, line)) {
        std::istringstream fields(line);
        std::string range;
        std::string permissions;
        fields >> range >> permissions;
        if (permissions.size() < 2 || permissions[1] != 'w' ||
            line.find("[vvar]") != std::string::npos) {
            continue;
        }
        const auto dash = range.find('-');
        std::uint64_t start = std::stoull(range.substr(0, dash), nullptr, 16);
        const std::uint64_t end = std::stoull(range.substr(dash + 1), nullptr, 16);
        std::size_t carried = 0;
        while (!found && start < end) {
            const std::size_t want = static_cast<std::size_t>(
                std::min<std::uint64_t>(chunk.size() - carried, end - start));
            const ssize_t got =
                ::pread(memory, chunk.data() + carried, want, static_cast<off_t>(start));
            if (got <= 0) {
                break;
            }
            const std::size_t length = carried + static_cast<std::size_t>(got);
            for (std::size_t i = 0; i + kSlice <= length && !found; ++i) {
                for (std::size_t slice = 0; slice < kMaskedKey.size() && !found; slice += kSlice) {
                    std::size_t j = 0;
                    while (j < kSlice && (chunk[i + j] ^ kMask) == kMaskedKey[slice + j]) {
                        ++j;
                    }
                    found = j == kSlice;
                }
            }
            carried = std::min(keep, length);
            std::copy(chunk.begin() + static_cast<std::ptrdiff_t>(length - carried),
                      chunk.begin() + static_cast<std::ptrdiff_t>(length), chunk.begin());
            start += static_cast<std::uint64_t>(got);
        }
    }
    ::close(memory);
    return found;
}

class KeyResidueTest : public ::testing::Test {
  protected:
    void Run(CompileSettings& settings) {
        CompileSession session(host);
        session.CompilePending = true;
        CompileJob(session, settings, JobServices{FileSystem::Native(), {}});
    }

    TempDir dir;
    ScriptedHost host;
};

TEST_F(KeyResidueTest, NoCopyOfTheKeyOutlivesJobsOrARefusedRequest) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory is too large to search; the plain build does";
#endif
    dir.Write("plain", std::string(70000, 'p'));
    dir.Write("key", std::string(600, 'k'));
    {
        CompileSettings settings;
        settings.Key = UnmaskedKey();
        // The search sees a key that is there.
        ASSERT_TRUE(KeyInMemory());
        settings.KeyFileName = dir.Path("key");
        settings.EncryptMode = true;
        settings.SourceFileName = dir.Path("plain");
        settings.DrainFileName = dir.Path("cipher");
        Run(settings);
        settings.EncryptMode = false;
        settings.SourceFileName = dir.Path("cipher");
        settings.DrainFileName = dir.Path("back");
        Run(settings);
        ASSERT_EQ(dir.Read("back"), std::string(70000, 'p'));
    }
    EXPECT_FALSE(KeyInMemory()) << "after two jobs";

    {
        CompileSettings settings;
        settings.Key = UnmaskedKey();
        settings.SourceFileName = dir.Path("missing");
        settings.DrainFileName = dir.Path("out");
        settings.EncryptMode = true;
        Run(settings);
        ASSERT_EQ(host.MessageTexts().back(), "File:\r" + dir.Path("missing") + "\rread error!");
    }
    EXPECT_FALSE(KeyInMemory()) << "after a refused job";
}

}  // namespace
}  // namespace velkor
