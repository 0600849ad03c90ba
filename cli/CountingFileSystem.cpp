#include "CountingFileSystem.h"

namespace velkor::cli {

IoResult CountingFileSystem::OpenRead(const std::string& name, File& file) {
    const IoResult result = FileSystem::OpenRead(name, file);
    if (result == 0 && !keyFileName_.empty() && name == keyFileName_) {
        keyFileDescriptor_ = Descriptor(file);
    }
    return result;
}

IoResult CountingFileSystem::Read(File& file, void* buffer, std::size_t count, std::size_t& done) {
    const IoResult result = FileSystem::Read(file, buffer, count, done);
    if (Descriptor(file) != keyFileDescriptor_) {
        bytesRead_ += static_cast<std::int64_t>(done);
    }
    return result;
}

IoResult CountingFileSystem::Close(File& file) {
    // The number may come back for another file.
    if (Descriptor(file) == keyFileDescriptor_) {
        keyFileDescriptor_ = -1;
    }
    return FileSystem::Close(file);
}

}  // namespace velkor::cli
