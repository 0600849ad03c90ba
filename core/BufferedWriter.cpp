#include "BufferedWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "Secret.h"

namespace velkor {

namespace {

IoResult WriteAll(FileSystem& fileSystem, File& file, const char* data, std::size_t count) {
    std::size_t done = 0;
    const IoResult result = fileSystem.Write(file, data, count, done);
    return result == 0 && done < count ? EIO : result;
}

}  // namespace

// The buffers may hold decrypted bytes: wiped before they go.
void BufferedWriter::Release::operator()(char* buffer) const {
    SecureZero(buffer, kCapacity);
    ::operator delete (buffer, std::align_val_t{kBlock});
}

namespace {

char* AlignedBuffer() {
    return static_cast<char*>(
        ::operator new (BufferedWriter::kCapacity, std::align_val_t{BufferedWriter::kBlock}));
}

}  // namespace

BufferedWriter::BufferedWriter(FileSystem& fileSystem, File& file, FailureNote failures)
    : fileSystem_(fileSystem),
      file_(file),
      failures_(std::move(failures)),
      buffer_(AlignedBuffer()),
      writing_(AlignedBuffer()) {}

void BufferedWriter::Put(std::string_view text) {
    while (!text.empty()) {
        const std::size_t count = std::min(text.size(), kCapacity - used_);
        std::memcpy(buffer_.get() + used_, text.data(), count);
        used_ += count;
        text.remove_prefix(count);
        if (used_ == kCapacity) {
            HandOver();
        }
    }
}

void BufferedWriter::Settle() {
    worker_.Wait();
    if (!failed_) {
        failed_ = !failures_.Note(std::exchange(written_, 0));
    }
}

void BufferedWriter::HandOver(bool everything) {
    Settle();
    if (failed_) {
        used_ = 0;
        return;
    }
    const std::size_t out = everything || file_.IsBorrowed() ? used_ : used_ / kBlock * kBlock;
    if (out == 0) {
        return;
    }
    if (file_.IsBorrowed()) {
        failed_ = !failures_.Note(WriteAll(fileSystem_, file_, buffer_.get(), out));
    } else {
        std::swap(buffer_, writing_);
        // The bytes short of a block start the next buffer.
        std::memcpy(buffer_.get(), writing_.get() + out, used_ - out);
        writingUsed_ = out;
        worker_.Hand(
            [this] { written_ = WriteAll(fileSystem_, file_, writing_.get(), writingUsed_); });
    }
    used_ -= out;
}

void BufferedWriter::Flush() {
    HandOver(true);
    Settle();
}

}  // namespace velkor
