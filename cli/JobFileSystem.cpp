#include "JobFileSystem.h"

#include <unistd.h>

#include <cerrno>

#include "Interrupts.h"

namespace velkor::cli {

IoResult JobFileSystem::OpenRead(const std::string& name, File& file) {
    const IoResult result = FileSystem::OpenRead(name, file);
    if (result == 0 && !keyFileName_.empty() && name == keyFileName_) {
        keyFileDescriptor_ = Descriptor(file);
    }
    return result;
}

IoResult JobFileSystem::Read(File& file, void* buffer, std::size_t count, std::size_t& done) {
    // Files the job opened itself are regular files, whose reads never wait
    // for long; only a borrowed stream may.
    const IoResult result = file.IsBorrowed() ? ReadStream(file, buffer, count, done)
                                              : FileSystem::Read(file, buffer, count, done);
    if (Descriptor(file) != keyFileDescriptor_) {
        bytesRead_ += static_cast<std::int64_t>(done);
    }
    return result;
}

IoResult JobFileSystem::ReadStream(File& file, void* buffer, std::size_t count, std::size_t& done) {
    done = 0;
    if (!file.IsOpen()) {
        return EBADF;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (done < count) {
        if (!WaitForInput(Descriptor(file))) {
            return EINTR;
        }
        const ssize_t got = ::read(Descriptor(file), bytes + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return errno;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

IoResult JobFileSystem::Close(File& file) {
    // The number may come back for another file.
    if (Descriptor(file) == keyFileDescriptor_) {
        keyFileDescriptor_ = -1;
    }
    return FileSystem::Close(file);
}

}  // namespace velkor::cli
