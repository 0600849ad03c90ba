#pragma once

#include <cstdint>
#include <string>

#include "FileSystem.h"

namespace velkor::cli {

// The machine's file system, counting the bytes a job reads as its data (every
// file but the key file), so that the progress line can follow a compile job
// that does not report its bytes. Counted once per block, never per byte.
class CountingFileSystem : public FileSystem {
  public:
    explicit CountingFileSystem(std::string keyFileName) : keyFileName_(std::move(keyFileName)) {}

    IoResult OpenRead(const std::string& name, File& file) override;
    IoResult Read(File& file, void* buffer, std::size_t count, std::size_t& done) override;
    IoResult Close(File& file) override;

    const std::int64_t* BytesRead() const { return &bytesRead_; }

  private:
    std::string keyFileName_;
    int keyFileDescriptor_ = -1;
    std::int64_t bytesRead_ = 0;
};

}  // namespace velkor::cli
