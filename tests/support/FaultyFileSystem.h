#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "FileSystem.h"

namespace velkor::testing {

// The real file system, except that a chosen call of a chosen operation fails.
class FaultyFileSystem : public FileSystem {
  public:
    enum class Op {
        OpenRead,
        CreateNew,
        Read,
        Write,
        ShortWrite,
        Seek,
        Size,
        Sync,
        Close,
        CopyMode,
        Replace,
        Remove,
        SyncFolder
    };

    FaultyFileSystem() = default;
    // A fresh one in place of a used one; the lock stays.
    FaultyFileSystem& operator=(FaultyFileSystem&& other) noexcept;

    // Makes the n-th call (1-based) of op fail; with a name, only calls on that
    // file count, and a job's private result file counts as the drain it is
    // for. ShortWrite makes a write put out one byte less than asked.
    void FailAt(Op op, int occurrence, const std::string& name = {}, IoResult error = 5);

    IoResult OpenRead(const std::string& name, File& file) override;
    IoResult CreateNew(const std::string& name, File& file) override;
    IoResult Read(File& file, void* buffer, std::size_t count, std::size_t& done) override;
    IoResult Write(File& file, const void* buffer, std::size_t count, std::size_t& done) override;
    IoResult Seek(File& file, std::int64_t position) override;
    IoResult Size(File& file, std::int64_t& size) override;
    IoResult Sync(File& file) override;
    IoResult Close(File& file) override;
    IoResult CopyMode(File& file, const std::string& from) override;
    IoResult Replace(const std::string& from, const std::string& to) override;
    IoResult Remove(const std::string& name) override;
    IoResult SyncFolder(const std::string& folder) override;

    // How often each operation was called, and the replacements in order.
    std::map<Op, int> calls;
    std::vector<std::pair<std::string, std::string>> replaced;
    // Runs before a new file is created, with its name: another process at
    // work in the same folder.
    std::function<void(const std::string&)> beforeCreate;

  private:
    struct Fault {
        Op op;
        int occurrence;
        std::string name;
        IoResult error;
        int seen = 0;
    };
    bool Hit(Op op, const std::string& name, IoResult& error);
    void Remember(const File& file, const std::string& name);
    std::string NameOf(const File& file) const;

    std::vector<Fault> faults_;
    std::map<const File*, std::string> names_;
    // A job may write on a thread of its own while it reads.
    mutable std::mutex mutex_;
};

}  // namespace velkor::testing
