#pragma once

#include <string>
#include <string_view>

#include "FileSystem.h"

namespace velkor {

// Writes an open file line by line through a buffer, every line ending in
// CR LF. The first failure sticks: nothing more is written after it.
class TextFileWriter {
  public:
    TextFileWriter(FileSystem& fileSystem, File& file);

    // The result so far, including this line as far as it was written out.
    IoResult WriteLine(std::string_view line);
    // Writes out what the buffer holds.
    IoResult Flush();

  private:
    static constexpr std::size_t kBufferSize = 4096;

    FileSystem& fileSystem_;
    File& file_;
    std::string buffer_;
    IoResult result_ = 0;
};

}  // namespace velkor
