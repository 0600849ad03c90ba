#include "FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <utility>

namespace velkor {

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

File::~File() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

namespace {

IoResult OpenWith(const std::string& name, int flags, int& fd) {
    fd = ::open(name.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno != 0 ? errno : EIO;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        fd = -1;
        return EISDIR;
    }
    return 0;
}

}  // namespace

bool FileSystem::FileExists(const std::string& name) {
    struct stat info {};
    return !name.empty() && ::stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

IoResult FileSystem::OpenRead(const std::string& name, File& file) {
    if (file.IsOpen()) {
        return EBUSY;
    }
    int fd = -1;
    const IoResult result = OpenWith(name, O_RDONLY, fd);
    Attach(file, fd);
    return result;
}

IoResult FileSystem::Create(const std::string& name, File& file) {
    if (file.IsOpen()) {
        return EBUSY;
    }
    int fd = -1;
    const IoResult result = OpenWith(name, O_WRONLY | O_CREAT | O_TRUNC, fd);
    Attach(file, fd);
    return result;
}

IoResult FileSystem::OpenWrite(const std::string& name, File& file) {
    if (file.IsOpen()) {
        return EBUSY;
    }
    int fd = -1;
    const IoResult result = OpenWith(name, O_WRONLY, fd);
    Attach(file, fd);
    return result;
}

IoResult FileSystem::Read(File& file, void* buffer, std::size_t count, std::size_t& done) {
    done = 0;
    if (!file.IsOpen()) {
        return EBADF;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (done < count) {
        const ssize_t got = ::read(Descriptor(file), bytes + done, count - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

IoResult FileSystem::Write(File& file, const void* buffer, std::size_t count, std::size_t& done) {
    done = 0;
    if (!file.IsOpen()) {
        return EBADF;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (done < count) {
        const ssize_t put = ::write(Descriptor(file), bytes + done, count - done);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (put == 0) {
            return EIO;
        }
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

IoResult FileSystem::Seek(File& file, std::int64_t position) {
    if (!file.IsOpen()) {
        return EBADF;
    }
    return ::lseek(Descriptor(file), position, SEEK_SET) < 0 ? errno : 0;
}

IoResult FileSystem::Size(File& file, std::int64_t& size) {
    size = -1;
    struct stat info {};
    if (!file.IsOpen()) {
        return EBADF;
    }
    if (::fstat(Descriptor(file), &info) != 0) {
        return errno;
    }
    size = info.st_size;
    return 0;
}

IoResult FileSystem::Close(File& file) {
    if (!file.IsOpen()) {
        return EBADF;
    }
    const int fd = Descriptor(file);
    Detach(file);
    return ::close(fd) != 0 ? errno : 0;
}

IoResult FileSystem::Erase(const std::string& name) {
    if (!FileExists(name)) {
        return ENOENT;
    }
    return ::unlink(name.c_str()) != 0 ? errno : 0;
}

IoResult FileSystem::Rename(const std::string& from, const std::string& to) {
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0) {
        return EEXIST;
    }
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return 0;
    }
    return errno == EXDEV ? CopyAcross(from, to) : errno;
}

IoResult FileSystem::CopyAcross(const std::string& from, const std::string& to) {
    File source;
    File target;
    IoResult result = OpenRead(from, source);
    if (result == 0) {
        result = Create(to, target);
    }
    std::array<unsigned char, 65536> buffer{};
    while (result == 0) {
        std::size_t got = 0;
        result = Read(source, buffer.data(), buffer.size(), got);
        if (result != 0 || got == 0) {
            break;
        }
        std::size_t put = 0;
        result = Write(target, buffer.data(), got, put);
    }
    if (source.IsOpen()) {
        const IoResult closed = Close(source);
        result = result != 0 ? result : closed;
    }
    if (target.IsOpen()) {
        const IoResult closed = Close(target);
        result = result != 0 ? result : closed;
    }
    if (result != 0) {
        ::unlink(to.c_str());
        return result;
    }
    return ::unlink(from.c_str()) != 0 ? errno : 0;
}

bool FileSystem::SameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string FileSystem::CurrentDirectory() {
    std::string path(4096, '\0');
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

}  // namespace velkor
