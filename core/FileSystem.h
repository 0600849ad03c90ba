#pragma once

#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>

#include "BackgroundFlush.h"

namespace velkor {

// Result of one file operation: 0 on success, otherwise an errno value.
// Nothing here throws.
using IoResult = int;

// Refusal of a name that exists but is no regular file (FIFO, device, socket,
// folder): opening it could block or would not give the bytes of a file.
constexpr IoResult kNotRegularFile = EINVAL;

class FileSystem;

// What a name is on disk, links followed.
enum class NameKind { Missing, File, Folder, Other, DanglingLink };

// An open file. Closing goes through FileSystem::Close so that its result
// counts; the destructor only releases a file some path forgot to close.
class File {
  public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();

    bool IsOpen() const { return fd_ >= 0; }

    // A file that is already open, such as standard input or output; it is
    // not closed by this object.
    static File Borrowed(int fd);
    bool IsBorrowed() const { return !owned_; }

  private:
    friend class FileSystem;
    int fd_ = -1;
    bool owned_ = true;
    // How a result of ours goes to disk while it is written.
    struct ResultWriting {
        bool isResult = false;
        // Whole aligned blocks bypass the page cache (O_DIRECT is set).
        bool direct = false;
        // The file system would not have it.
        bool directRefused = false;
        // Bytes in the page cache since the last background flush began.
        std::size_t unflushed = 0;
    };
    ResultWriting writing_;
    BackgroundFlush flush_;
};

// Which file on disk an open file or a name is: the same identity under two
// names means one file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The one layer through which every file operation of the core passes, so that
// tests can make any chosen operation fail.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // True for an existing regular file (or a link to one).
    virtual bool FileExists(const std::string& name);
    virtual NameKind KindOf(const std::string& name);
    // Opens an existing regular file for reading only, without blocking on
    // anything else (FIFOs, devices and folders are refused).
    virtual IoResult OpenRead(const std::string& name, File& file);
    // Creates a new owner-only file for writing and reading back; fails if
    // the name is taken, also by a link, which is never followed.
    virtual IoResult CreateNew(const std::string& name, File& file);
    // Reads up to count bytes; done < count only at the end of the file.
    virtual IoResult Read(File& file, void* buffer, std::size_t count, std::size_t& done);
    // Writes count bytes; done tells how many actually went out.
    virtual IoResult Write(File& file, const void* buffer, std::size_t count, std::size_t& done);
    virtual IoResult Seek(File& file, std::int64_t position);
    // The size of a regular file; -1 for a stream.
    virtual IoResult Size(File& file, std::int64_t& size);
    // Flushes the file's data to the disk.
    virtual IoResult Sync(File& file);
    virtual IoResult Close(File& file);
    // Gives the file the permission bits of the named file.
    virtual IoResult CopyMode(File& file, const std::string& from);
    // Puts `from` in place of `to` in one step; both are in one folder.
    virtual IoResult Replace(const std::string& from, const std::string& to);
    // Removes a name (a link itself, never its target).
    virtual IoResult Remove(const std::string& name);
    // Flushes a folder, so that a rename in it survives a power loss.
    virtual IoResult SyncFolder(const std::string& folder);
    // True when this process may write the existing file.
    virtual bool Writable(const std::string& name);
    virtual IoResult Identify(File& file, FileIdentity& identity);
    virtual IoResult Identify(const std::string& name, FileIdentity& identity);
    // The file that writing `name` reaches: the name itself, or the target of
    // a link to an existing file. A dangling link is an error.
    virtual IoResult ResolveDrain(const std::string& name, std::string& target);
    // True when both names reach the same existing file (links, relative paths).
    virtual bool SameFile(const std::string& first, const std::string& second);
    // The current directory, without a trailing "/".
    virtual std::string CurrentDirectory();

    // The real file system of the machine.
    static FileSystem& Native();

  protected:
    static int Descriptor(const File& file) { return file.fd_; }
    static void Attach(File& file, int fd) { file.fd_ = fd; }
    static void Detach(File& file) { file.fd_ = -1; }

  private:
    static void ChooseDirect(File& file, const void* buffer, std::size_t count);
    static void EndDirect(File& file);
};

// Folder part of a path, up to and including the last "/" (empty if none).
std::string FolderPart(const std::string& path);
// Everything after the last "/".
std::string FileNamePart(const std::string& path);
// The folder for temporary files ($TMPDIR, else /tmp), ending with "/".
std::string TemporaryFolder();

}  // namespace velkor
