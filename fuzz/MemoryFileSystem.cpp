#include "MemoryFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

namespace velkor::fuzzing {

IoResult MemoryFileSystem::Open(const std::string& name, File& file) {
    const int handle = nextHandle_++;
    handles_[handle] = Handle{name, 0};
    Attach(file, handle);
    return 0;
}

IoResult MemoryFileSystem::OpenRead(const std::string& name, File& file) {
    return FileExists(name) ? Open(name, file) : ENOENT;
}

IoResult MemoryFileSystem::CreateNew(const std::string& name, File& file) {
    if (FileExists(name)) {
        return EEXIST;
    }
    files[name];
    return Open(name, file);
}

IoResult MemoryFileSystem::Read(File& file, void* buffer, std::size_t count, std::size_t& done) {
    Handle& handle = handles_.at(Descriptor(file));
    const std::string& bytes = files[handle.name];
    done = std::min(count, bytes.size() - std::min(bytes.size(), handle.position));
    std::memcpy(buffer, bytes.data() + handle.position, done);
    handle.position += done;
    return 0;
}

IoResult MemoryFileSystem::Write(File& file, const void* buffer, std::size_t count,
                                 std::size_t& done) {
    Handle& handle = handles_.at(Descriptor(file));
    std::string& bytes = files[handle.name];
    bytes.resize(std::max(bytes.size(), handle.position + count));
    std::memcpy(bytes.data() + handle.position, buffer, count);
    handle.position += count;
    done = count;
    return 0;
}

IoResult MemoryFileSystem::Seek(File& file, std::int64_t position) {
    handles_.at(Descriptor(file)).position = static_cast<std::size_t>(position);
    return 0;
}

IoResult MemoryFileSystem::Size(File& file, std::int64_t& size) {
    size = static_cast<std::int64_t>(files[handles_.at(Descriptor(file)).name].size());
    return 0;
}

IoResult MemoryFileSystem::Close(File& file) {
    handles_.erase(Descriptor(file));
    Detach(file);
    return 0;
}

IoResult MemoryFileSystem::Replace(const std::string& from, const std::string& to) {
    files[to] = std::move(files[from]);
    files.erase(from);
    return 0;
}

IoResult MemoryFileSystem::Remove(const std::string& name) {
    return files.erase(name) != 0 ? 0 : ENOENT;
}

IoResult MemoryFileSystem::Identify(File& file, FileIdentity& identity) {
    return Identify(handles_.at(Descriptor(file)).name, identity);
}

IoResult MemoryFileSystem::Identify(const std::string& name, FileIdentity& identity) {
    if (!FileExists(name)) {
        return ENOENT;
    }
    identity = FileIdentity{1, static_cast<ino_t>(std::hash<std::string>{}(name))};
    return 0;
}

IoResult MemoryFileSystem::ResolveDrain(const std::string& name, std::string& target) {
    target = name;
    return 0;
}

}  // namespace velkor::fuzzing
