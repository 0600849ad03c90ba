#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "Cp1252.h"
#include "KeySource.h"
#include "TempDir.h"

namespace velkor::cli {
namespace {

struct Region {
    const char* begin;
    const char* end;
};

// Bigger regions are the address sanitizer's shadow, not heap.
constexpr std::size_t kLargestRegion = std::size_t{1} << 30;

// The process's writable memory but the stack, where the test keeps its own copy.
std::vector<Region> WritableRegions() {
    std::vector<Region> regions;
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        unsigned long begin = 0;
        unsigned long end = 0;
        std::array<char, 5> permissions{};
        if (std::sscanf(line.c_str(), "%lx-%lx %4s", &begin, &end, permissions.data()) != 3 ||
            permissions[0] != 'r' || permissions[1] != 'w' ||
            line.find("[stack]") != std::string::npos || line.find("[v") != std::string::npos ||
            end - begin > kLargestRegion) {
            continue;
        }
        // The addresses come from the kernel's map of this very process.
        regions.push_back(
            {reinterpret_cast<const char*>(begin),  // NOLINT(performance-no-int-to-ptr)
             reinterpret_cast<const char*>(end)});  // NOLINT(performance-no-int-to-ptr)
    }
    return regions;
}

// Reads freed memory on purpose.
__attribute__((no_sanitize("address"))) int CopiesInMemory(const char* needle, std::size_t size) {
    int copies = 0;
    for (const Region& region : WritableRegions()) {
        for (const char* at = region.begin; at + size <= region.end; ++at) {
            // No memcmp: the sanitizer's version would refuse freed memory.
            std::size_t same = 0;
            while (same < size && at[same] == needle[same]) {
                ++same;
            }
            copies += same == size ? 1 : 0;
        }
    }
    return copies;
}

// The key read from a file and made into its bytes, then dropped: no copy of
// it may stay behind in the heap, as it would in a growing line buffer, a
// temporary string or a decoded copy.
TEST(KeyMemory, NoCopyOfTheKeyOutlivesItsUse) {
    testing::TempDir dir;
    // Built on the stack, so the test's own copy is not where the search looks.
    std::array<char, 40> key{};
    for (std::size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<char>('a' + (i * 7 + 3) % 26);
    }
    const std::string path = dir.Path("key.txt");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, key.data(), key.size()), static_cast<ssize_t>(key.size()));
    ASSERT_EQ(::write(fd, "\nrest of the file\n", 18), 18);
    ::close(fd);
    // The allocator writes its list pointers over the first 16 bytes of a freed
    // block: the search looks for the rest of the key.
    const char* tail = key.data() + 16;
    const std::size_t tailSize = key.size() - 16;
    ASSERT_EQ(CopiesInMemory(tail, tailSize), 0);

    // The environment keeps a copy of its own until the tool wipes it.
    std::array<char, 41> value{};
    std::copy(key.begin(), key.end(), value.begin());
    ASSERT_EQ(::setenv("VELKOR_MEMORY_TEST_KEY", value.data(), 1), 0);
    SecureZero(value.data(), value.size());

    // The environment's copy first: it must be gone before the file is read.
    for (const std::string& from : {std::string("env:VELKOR_MEMORY_TEST_KEY"), "file:" + path}) {
        SCOPED_TRACE(from);
        {
            SecretBytes text;
            std::string error;
            ASSERT_EQ(ReadKeyText({.from = from}, text, error), KeyReadResult::Read);
            const auto bytes = KeyBytesFromText(
                std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
            ASSERT_TRUE(bytes);
            EXPECT_EQ(bytes->size(), key.size());
            // Proves the search sees the heap: the key is there while it is used.
            EXPECT_GE(CopiesInMemory(tail, tailSize), 2);
        }
        EXPECT_EQ(CopiesInMemory(tail, tailSize), 0);
    }
}

}  // namespace
}  // namespace velkor::cli
