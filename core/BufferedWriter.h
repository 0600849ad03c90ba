#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "FileError.h"
#include "FileSystem.h"
#include "WorkerThread.h"

namespace velkor {

// Collects output in a buffer of fixed size and writes it out when full, so
// that work per byte neither allocates nor calls the system. A full buffer of
// a file of our own is written on a second thread while the next one fills,
// in whole aligned blocks that can bypass the page cache; a stream is written
// at once, where a signal can reach the write. A failed or short write is
// noted in the caller's error by the next Flush or filled buffer, and nothing
// more is written after it.
class BufferedWriter {
  public:
    static constexpr std::size_t kCapacity = std::size_t{2} << 20;
    // Writes go out in multiples of this; less is carried to the next buffer.
    static constexpr std::size_t kBlock = 4096;

    BufferedWriter(FileSystem& fileSystem, File& file, FailureNote failures);
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    void Put(char c) {
        buffer_.get()[used_++] = c;
        if (used_ == kCapacity) {
            HandOver();
        }
    }
    void Put(std::string_view text);
    // Room for count bytes (at most the capacity less a block), to be filled
    // without checks and handed back with Commit.
    char* Reserve(std::size_t count) {
        if (kCapacity - used_ < count) {
            HandOver();
        }
        return buffer_.get() + used_;
    }
    void Commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }
    // Writes what is buffered and waits until it is written; after a failure
    // the buffered bytes are dropped.
    void Flush();

  private:
    struct Release {
        void operator()(char* buffer) const;
    };
    using Buffer = std::unique_ptr<char, Release>;

    // Starts writing the whole blocks of the buffer, or everything at the end.
    void HandOver(bool everything = false);
    // Waits for the write under way and notes how it went.
    void Settle();

    FileSystem& fileSystem_;
    File& file_;
    FailureNote failures_;
    Buffer buffer_;
    std::size_t used_ = 0;
    // The buffer being written on the second thread, and how that went.
    Buffer writing_;
    std::size_t writingUsed_ = 0;
    IoResult written_ = 0;
    bool failed_ = false;
    // Last, so that it ends before the buffers its task uses go.
    WorkerThread worker_;
};

}  // namespace velkor
