#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "FileSystem.h"

namespace velkor::fuzzing {

// Files that live in memory, so that a fuzzer runs whole jobs without a disk.
// Handles are numbers no real descriptor reaches.
class MemoryFileSystem : public FileSystem {
  public:
    std::map<std::string, std::string> files;

    bool FileExists(const std::string& name) override { return files.count(name) != 0; }
    IoResult OpenRead(const std::string& name, File& file) override;
    IoResult CreateNew(const std::string& name, File& file) override;
    IoResult Read(File& file, void* buffer, std::size_t count, std::size_t& done) override;
    IoResult Write(File& file, const void* buffer, std::size_t count, std::size_t& done) override;
    IoResult Seek(File& file, std::int64_t position) override;
    IoResult Size(File& file, std::int64_t& size) override;
    IoResult Sync(File& /*file*/) override { return 0; }
    IoResult Close(File& file) override;
    IoResult CopyMode(File& /*file*/, const std::string& /*from*/) override { return 0; }
    IoResult Replace(const std::string& from, const std::string& to) override;
    IoResult Remove(const std::string& name) override;
    IoResult SyncFolder(const std::string& /*folder*/) override { return 0; }
    bool Writable(const std::string& name) override { return FileExists(name); }
    IoResult Identify(File& file, FileIdentity& identity) override;
    IoResult Identify(const std::string& name, FileIdentity& identity) override;
    IoResult ResolveDrain(const std::string& name, std::string& target) override;

  private:
    struct Handle {
        std::string name;
        std::size_t position = 0;
    };
    IoResult Open(const std::string& name, File& file);

    std::map<int, Handle> handles_;
    int nextHandle_ = 2000000000;
};

}  // namespace velkor::fuzzing
