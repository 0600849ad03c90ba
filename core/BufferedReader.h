#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "FileError.h"
#include "FileSystem.h"
#include "Secret.h"

namespace velkor {

// Reads a file in large pieces and hands it out in blocks, so that small
// blocks cost no call to the system each. A failed read is noted in the
// caller's error, and nothing more is handed out after it.
class BufferedReader {
  public:
    // A multiple of the block sizes asked for, so that blocks stay whole.
    static constexpr std::size_t kCapacity = 65536;

    BufferedReader(FileSystem& fileSystem, File& file, FailureNote failures);

    // Up to `most` next bytes; fewer only at the end of the file. The bytes
    // stay valid until the next call.
    std::span<const unsigned char> Next(std::size_t most);
    // True once every byte of the file has been handed out.
    [[nodiscard]] bool AtEnd() const { return endOfFile_ && begin_ == end_; }

  private:
    void Refill();

    FileSystem& fileSystem_;
    File& file_;
    FailureNote failures_;
    // Wiped when freed, as the pieces of a user's file that we hold are.
    SecretBytes buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool endOfFile_ = false;
};

}  // namespace velkor
