#include "BufferedWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace velkor {

BufferedWriter::BufferedWriter(FileSystem& fileSystem, File& file, FailureNote failures)
    : fileSystem_(fileSystem), file_(file), failures_(std::move(failures)), buffer_(kCapacity) {}

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
        failed_ = !failures_.Note(result);
    }
    used_ = 0;
}

}  // namespace velkor
