#include "BufferedWriter.h"

namespace velkor {

BufferedWriter::BufferedWriter(FileSystem& fileSystem, File& file, std::int64_t& errorSum)
    : fileSystem_(fileSystem), file_(file), errorSum_(errorSum), buffer_(kCapacity) {}

void BufferedWriter::Put(std::string_view text) {
    for (const char c : text) {
        Put(c);
    }
}

void BufferedWriter::Flush() {
    if (used_ == 0) {
        return;
    }
    std::size_t done = 0;
    errorSum_ += fileSystem_.Write(file_, buffer_.data(), used_, done);
    if (done < used_) {
        ++errorSum_;
    }
    used_ = 0;
}

}  // namespace velkor
