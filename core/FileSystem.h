#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velkor {

// Result of one file operation: 0 on success, otherwise an errno value.
// Callers add results up or test them at once; nothing here throws.
using IoResult = int;

class FileSystem;

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

  private:
    friend class FileSystem;
    int fd_ = -1;
};

// The one layer through which every file operation of the core passes, so that
// tests can make any chosen operation fail.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // True for an existing regular file (or a link to one); folders do not count.
    virtual bool FileExists(const std::string& name);
    // Opens an existing file for reading only.
    virtual IoResult OpenRead(const std::string& name, File& file);
    // Creates a file for writing, truncating an existing one.
    virtual IoResult Create(const std::string& name, File& file);
    // Opens an existing file for writing without changing its contents.
    virtual IoResult OpenWrite(const std::string& name, File& file);
    // Reads up to count bytes; done < count only at the end of the file.
    virtual IoResult Read(File& file, void* buffer, std::size_t count, std::size_t& done);
    // Writes count bytes; done tells how many actually went out.
    virtual IoResult Write(File& file, const void* buffer, std::size_t count, std::size_t& done);
    virtual IoResult Seek(File& file, std::int64_t position);
    virtual IoResult Size(File& file, std::int64_t& size);
    virtual IoResult Close(File& file);
    virtual IoResult Erase(const std::string& name);
    // Fails when a file named `to` exists; moves across file systems by copying.
    virtual IoResult Rename(const std::string& from, const std::string& to);
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
    IoResult CopyAcross(const std::string& from, const std::string& to);
};

// Folder part of a path, up to and including the last "/" (empty if none).
std::string FolderPart(const std::string& path);
// Everything after the last "/".
std::string FileNamePart(const std::string& path);

}  // namespace velkor
