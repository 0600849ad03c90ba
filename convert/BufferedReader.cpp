#include "BufferedReader.h"

#include <algorithm>
#include <cstring>

namespace velkor {

BufferedReader::BufferedReader(FileSystem& fileSystem, File& file, std::int64_t& errorSum)
    : fileSystem_(fileSystem), file_(file), errorSum_(errorSum), buffer_(kCapacity) {}

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
    errorSum_ += result;
    end_ += done;
    if (result != 0 || done < wanted) {
        endOfFile_ = true;
    }
}

}  // namespace velkor
