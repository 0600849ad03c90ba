#include "FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <utility>

namespace velkor {

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      owned_(std::exchange(other.owned_, true)),
      writing_(std::exchange(other.writing_, {})),
      flush_(std::move(other.flush_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        flush_.Wait();
        if (fd_ >= 0 && owned_) {
            ::close(fd_);
        }
        flush_ = std::move(other.flush_);
        fd_ = std::exchange(other.fd_, -1);
        owned_ = std::exchange(other.owned_, true);
        writing_ = std::exchange(other.writing_, {});
    }
    return *this;
}

File::~File() {
    // No flush may still hold the number when it is closed.
    flush_.Wait();
    if (fd_ >= 0 && owned_) {
        ::close(fd_);
    }
}

File File::Borrowed(int fd) {
    File file;
    file.fd_ = fd;
    file.owned_ = false;
    return file;
}

namespace {

// How much of a result may be written before its writing to disk is started.
constexpr std::size_t kWriteBehindBytes = std::size_t{8} << 20;

IoResult LastError() {
    return errno != 0 ? errno : EIO;
}

// What direct writes need of the memory, the length and the place in the file.
constexpr std::size_t kDirectAlignment = 4096;

bool SetDirect(int fd, bool direct) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, direct ? flags | O_DIRECT : flags & ~O_DIRECT) == 0;
}

}  // namespace

bool FileSystem::FileExists(const std::string& name) {
    struct stat info {};
    return !name.empty() && ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

NameKind FileSystem::KindOf(const std::string& name) {
    struct stat info {};
    if (name.empty() || ::lstat(name.c_str(), &info) != 0) {
        return NameKind::Missing;
    }
    if (S_ISLNK(info.st_mode) && ::stat(name.c_str(), &info) != 0) {
        return NameKind::DanglingLink;
    }
    if (S_ISREG(info.st_mode)) {
        return NameKind::File;
    }
    return S_ISDIR(info.st_mode) ? NameKind::Folder : NameKind::Other;
}

IoResult FileSystem::OpenRead(const std::string& name, File& file) {
    if (file.IsOpen()) {
        return EBUSY;
    }
    // Non-blocking, so that a FIFO without a writer cannot hold the job up
    // before it is refused.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return LastError();
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return kNotRegularFile;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const IoResult error = LastError();
        ::close(fd);
        return error;
    }
    Attach(file, fd);
    return 0;
}

IoResult FileSystem::CreateNew(const std::string& name, File& file) {
    if (file.IsOpen()) {
        return EBUSY;
    }
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return LastError();
    }
    Attach(file, fd);
    file.writing_.isResult = true;
    return 0;
}

IoResult FileSystem::Read(File& file, void* buffer, std::size_t count, std::size_t& done) {
    done = 0;
    if (!file.IsOpen()) {
        return EBADF;
    }
    // A result read back, such as a work file, is read through the page cache.
    EndDirect(file);
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (done < count) {
        const ssize_t got = ::read(Descriptor(file), bytes + done, count - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

// A result is flushed to disk before the job reports success anyway, so its
// whole aligned blocks go there directly: copying them into the page cache
// is most of what writing them costs. Everything else, and everything on a
// file system that refuses, goes through the page cache.
void FileSystem::ChooseDirect(File& file, const void* buffer, std::size_t count) {
    auto& writing = file.writing_;
    bool direct = false;
    if (writing.isResult && !writing.directRefused && count % kDirectAlignment == 0 &&
        reinterpret_cast<std::uintptr_t>(buffer) % kDirectAlignment == 0) {
        const off_t position = ::lseek(Descriptor(file), 0, SEEK_CUR);
        direct = position >= 0 && position % static_cast<off_t>(kDirectAlignment) == 0;
    }
    if (direct != writing.direct) {
        if (SetDirect(Descriptor(file), direct)) {
            writing.direct = direct;
        } else {
            writing.directRefused = true;
        }
    }
}

void FileSystem::EndDirect(File& file) {
    if (file.writing_.direct && SetDirect(Descriptor(file), false)) {
        file.writing_.direct = false;
    }
}

IoResult FileSystem::Write(File& file, const void* buffer, std::size_t count, std::size_t& done) {
    done = 0;
    if (!file.IsOpen()) {
        return EBADF;
    }
    ChooseDirect(file, buffer, count);
    auto& writing = file.writing_;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (done < count) {
        const ssize_t put = ::write(Descriptor(file), bytes + done, count - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            // A file system may take O_DIRECT and still refuse the write.
            if (errno == EINVAL && writing.direct && !writing.directRefused) {
                writing.directRefused = true;
                EndDirect(file);
                continue;
            }
            return LastError();
        }
        if (put == 0) {
            return EIO;
        }
        done += static_cast<std::size_t>(put);
    }
    if (writing.direct) {
        return 0;
    }
    writing.unflushed += done;
    if (writing.isResult && writing.unflushed >= kWriteBehindBytes) {
        file.flush_.Start(Descriptor(file));
        writing.unflushed = 0;
    }
    return 0;
}

IoResult FileSystem::Seek(File& file, std::int64_t position) {
    if (!file.IsOpen()) {
        return EBADF;
    }
    return ::lseek(Descriptor(file), position, SEEK_SET) < 0 ? LastError() : 0;
}

IoResult FileSystem::Size(File& file, std::int64_t& size) {
    size = -1;
    struct stat info {};
    if (!file.IsOpen()) {
        return EBADF;
    }
    if (::fstat(Descriptor(file), &info) != 0) {
        return LastError();
    }
    if (S_ISREG(info.st_mode)) {
        size = info.st_size;
    }
    return 0;
}

IoResult FileSystem::Sync(File& file) {
    if (!file.IsOpen()) {
        return EBADF;
    }
    const IoResult flushed = file.flush_.Wait();
    if (flushed != 0) {
        return flushed;
    }
    return ::fsync(Descriptor(file)) != 0 ? LastError() : 0;
}

IoResult FileSystem::Close(File& file) {
    if (!file.IsOpen()) {
        return EBADF;
    }
    file.flush_.Wait();
    const int fd = Descriptor(file);
    const bool owned = file.owned_;
    Detach(file);
    file.owned_ = true;
    file.writing_ = {};
    file.flush_ = BackgroundFlush();
    if (!owned) {
        return 0;
    }
    return ::close(fd) != 0 ? LastError() : 0;
}

IoResult FileSystem::CopyMode(File& file, const std::string& from) {
    struct stat info {};
    if (::stat(from.c_str(), &info) != 0) {
        return LastError();
    }
    return ::fchmod(Descriptor(file), info.st_mode & 07777) != 0 ? LastError() : 0;
}

IoResult FileSystem::Replace(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) != 0 ? LastError() : 0;
}

IoResult FileSystem::Remove(const std::string& name) {
    return ::unlink(name.c_str()) != 0 ? LastError() : 0;
}

IoResult FileSystem::SyncFolder(const std::string& folder) {
    const std::string name = folder.empty() ? std::string(".") : folder;
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return LastError();
    }
    IoResult result = ::fsync(fd) != 0 ? LastError() : 0;
    if (::close(fd) != 0 && result == 0) {
        result = LastError();
    }
    return result;
}

bool FileSystem::Writable(const std::string& name) {
    return ::access(name.c_str(), W_OK) == 0;
}

IoResult FileSystem::Identify(File& file, FileIdentity& identity) {
    struct stat info {};
    if (!file.IsOpen() || ::fstat(Descriptor(file), &info) != 0) {
        return file.IsOpen() ? LastError() : EBADF;
    }
    identity = FileIdentity{info.st_dev, info.st_ino};
    return 0;
}

IoResult FileSystem::Identify(const std::string& name, FileIdentity& identity) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        return LastError();
    }
    identity = FileIdentity{info.st_dev, info.st_ino};
    return 0;
}

IoResult FileSystem::ResolveDrain(const std::string& name, std::string& target) {
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        target = name;
        return 0;
    }
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(name.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) {
        return LastError();
    }
    target = resolved.get();
    return 0;
}

bool FileSystem::SameFile(const std::string& first, const std::string& second) {
    FileIdentity a;
    FileIdentity b;
    return Identify(first, a) == 0 && Identify(second, b) == 0 && a == b;
}

std::string FileSystem::CurrentDirectory() {
    std::string path(PATH_MAX, '\0');
    if (::getcwd(path.data(), path.size()) == nullptr) {
        return {};
    }
    path.resize(path.find('\0'));
    return path;
}

FileSystem& FileSystem::Native() {
    static FileSystem native;
    return native;
}

std::string FolderPart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNamePart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    if (path.back() != '/') {
        path += '/';
    }
    return path;
}

}  // namespace velkor
