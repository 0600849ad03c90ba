#include "BufferedReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velkor {

BufferedReader::BufferedReader(FileSystem& fileSystem, File& file, FailureNote failures)
    : fileSystem_(fileSystem), file_(file), failures_(std::move(failures)), buffer_(kCapacity) {}

std::span<const unsigned char> BufferedReader::Next(std::size_t most) {
    most = std::min(most, buffer_.size());
    if (end_ - begin_ < most && !endOfFile_) {
        Refill();
    }
    const std::size_t count = std::min(most, end_ - begin_);
    const std::span<const unsigned char> bytes(buffer_.data() + begin_, count);
    begin_ += count;
    return bytes;
}

void BufferedReader::Refill() {
    const std::size_t kept = end_ - begin_;
    if (kept > 0 && begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
    }
    begin_ = 0;
    end_ = kept;
    const std::size_t wanted = buffer_.size() - kept;
    std::size_t done = 0;
    const IoResult result = fileSystem_.Read(file_, buffer_.data() + kept, wanted, done);
    end_ += done;
    if (!failures_.Note(result) || done < wanted) {
        endOfFile_ = true;
    }
}

}  // namespace velkor
