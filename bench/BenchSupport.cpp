#include "BenchSupport.h"

#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

namespace velkor::bench {

std::vector<std::uint8_t> RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937_64 random(seed);
    std::vector<std::uint8_t> bytes(count);
    std::generate(bytes.begin(), bytes.end(),
                  [&random] { return static_cast<std::uint8_t>(random()); });
    return bytes;
}

std::string RandomFile(const std::string& name, std::int64_t size) {
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::error_code error;
    if (std::filesystem::file_size(path, error) == static_cast<std::uintmax_t>(size) && !error) {
        return path;
    }
    const std::vector<std::uint8_t> piece = RandomBytes(std::size_t{1} << 20);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::int64_t written = 0; written < size && out;) {
        const auto part = std::min<std::int64_t>(size - written, std::ssize(piece));
        out.write(reinterpret_cast<const char*>(piece.data()), part);
        written += part;
    }
    return path;
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace velkor::bench
