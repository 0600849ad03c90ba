#pragma once

#include <cstdint>
#include <string>

#include "FileSystem.h"

namespace velkor::cli {

// The machine's file system as a job of the tool uses it. It counts the bytes
// the job reads as its data (every file but the key file), once per block, so
// that the progress line can follow the job; and a read that waits for a pipe
// gives up when an interrupt signal comes, instead of keeping the tool until
// the pipe's writer goes on.
class JobFileSystem : public FileSystem {
  public:
    explicit JobFileSystem(std::string keyFileName) : keyFileName_(std::move(keyFileName)) {}

    IoResult OpenRead(const std::string& name, File& file) override;
    IoResult Read(File& file, void* buffer, std::size_t count, std::size_t& done) override;
    IoResult Close(File& file) override;

    const std::int64_t* BytesRead() const { return &bytesRead_; }

  private:
    // A read that gives up when an interrupt signal comes.
    IoResult ReadStream(File& file, void* buffer, std::size_t count, std::size_t& done);

    std::string keyFileName_;
    int keyFileDescriptor_ = -1;
    std::int64_t bytesRead_ = 0;
};

}  // namespace velkor::cli
