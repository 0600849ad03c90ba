#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "FileSystem.h"

namespace velkor {

// Reads a file in large pieces and hands it out in blocks, so that small
// blocks cost no call to the system each. The result of every read is added
// to the caller's error sum; after a failed read nothing more is handed out.
class BufferedReader {
  public:
    // A multiple of the block sizes asked for, so that blocks stay whole.
    static constexpr std::size_t kCapacity = 65536;

    BufferedReader(FileSystem& fileSystem, File& file, std::int64_t& errorSum);

    // Up to `most` next bytes; fewer only at the end of the file. The bytes
    // stay valid until the next call.
    std::span<const unsigned char> Next(std::size_t most);
    // True once every byte of the file has been handed out.
    [[nodiscard]] bool AtEnd() const { return endOfFile_ && begin_ == end_; }

  private:
    void Refill();

    FileSystem& fileSystem_;
    File& file_;
    std::int64_t& errorSum_;
    std::vector<unsigned char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool endOfFile_ = false;
};

}  // namespace velkor
