#include "BufferedWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace velkor {

BufferedWriter::BufferedWriter(FileSystem& fileSystem, File& file, FileError& error, FileRole role,
                               std::string name)
    : fileSystem_(fileSystem),
      file_(file),
      error_(error),
      role_(role),
      name_(std::move(name)),
      buffer_(kCapacity) {}

void BufferedWriter::Put(std::string_view text) {
    while (!text.empty()) {
        const std::size_t count = std::min(text.size(), buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, text.data(), count);
        used_ += count;
        text.remove_prefix(count);
        if (used_ == buffer_.size()) {
            Flush();
        }
    }
}

void BufferedWriter::Flush() {
    if (used_ > 0 && !failed_) {
        std::size_t done = 0;
        IoResult result = fileSystem_.Write(file_, buffer_.data(), used_, done);
        if (result == 0 && done < used_) {
            result = EIO;
        }
        failed_ = !error_.Note(result, role_, name_);
    }
    used_ = 0;
}

}  // namespace velkor
