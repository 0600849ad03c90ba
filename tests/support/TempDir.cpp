#include "TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace velkor::testing {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velkor-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Path(const std::string& name) const {
    return (path_ / name).string();
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
    WriteFileBytes(Path(name), bytes);
}

std::string TempDir::Read(const std::string& name) const {
    return ReadFileBytes(Path(name));
}

bool TempDir::Exists(const std::string& name) const {
    return std::filesystem::exists(path_ / name);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace velkor::testing
