#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "FileError.h"
#include "FileSystem.h"

namespace velkor {

// Collects output in a buffer of fixed size and writes it out when full, so
// that work per byte neither allocates nor calls the system. A failed or short
// write is noted in the caller's error, and nothing more is written after it.
class BufferedWriter {
  public:
    static constexpr std::size_t kCapacity = 65536;

    BufferedWriter(FileSystem& fileSystem, File& file, FailureNote failures);

    void Put(char c) {
        buffer_[used_++] = c;
        if (used_ == buffer_.size()) {
            Flush();
        }
    }
    void Put(std::string_view text);
    // Room for count bytes (at most the capacity), to be filled without
    // checks and handed back with Commit.
    char* Reserve(std::size_t count) {
        if (buffer_.size() - used_ < count) {
            Flush();
        }
        return buffer_.data() + used_;
    }
    void Commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }
    // Writes what is buffered; after a failure the buffered bytes are dropped.
    void Flush();

  private:
    FileSystem& fileSystem_;
    File& file_;
    FailureNote failures_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace velkor
