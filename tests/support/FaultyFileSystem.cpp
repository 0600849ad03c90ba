#include "FaultyFileSystem.h"

#include <mutex>

namespace velkor::testing {

FaultyFileSystem& FaultyFileSystem::operator=(FaultyFileSystem&& other) noexcept {
    calls = std::move(other.calls);
    replaced = std::move(other.replaced);
    beforeCreate = std::move(other.beforeCreate);
    faults_ = std::move(other.faults_);
    names_ = std::move(other.names_);
    return *this;
}

void FaultyFileSystem::FailAt(Op op, int occurrence, const std::string& name, IoResult error) {
    faults_.push_back(Fault{op, occurrence, name, error});
}

namespace {

// A private result ".NAME.NUMBER.part" stands for the drain NAME beside it.
std::string DrainOf(const std::string& name) {
    const std::string file = FileNamePart(name);
    const std::string suffix = ".part";
    if (file.size() > 1 && file[0] == '.' && file.ends_with(suffix)) {
        const std::string inner = file.substr(1, file.size() - 1 - suffix.size());
        const auto dot = inner.rfind('.');
        if (dot != std::string::npos) {
            return FolderPart(name) + inner.substr(0, dot);
        }
    }
    return name;
}

}  // namespace

bool FaultyFileSystem::Hit(Op op, const std::string& name, IoResult& error) {
    const std::lock_guard lock(mutex_);
    ++calls[op];
    for (auto& fault : faults_) {
        if (fault.op != op ||
            (!fault.name.empty() && fault.name != name && fault.name != DrainOf(name))) {
            continue;
        }
        if (++fault.seen == fault.occurrence) {
            error = fault.error;
            return true;
        }
    }
    return false;
}

void FaultyFileSystem::Remember(const File& file, const std::string& name) {
    const std::lock_guard lock(mutex_);
    names_[&file] = name;
}

std::string FaultyFileSystem::NameOf(const File& file) const {
    const std::lock_guard lock(mutex_);
    const auto found = names_.find(&file);
    return found == names_.end() ? std::string() : found->second;
}

IoResult FaultyFileSystem::OpenRead(const std::string& name, File& file) {
    IoResult error = 0;
    if (Hit(Op::OpenRead, name, error)) {
        return error;
    }
    Remember(file, name);
    return FileSystem::OpenRead(name, file);
}

IoResult FaultyFileSystem::CreateNew(const std::string& name, File& file) {
    if (beforeCreate) {
        beforeCreate(name);
    }
    IoResult error = 0;
    if (Hit(Op::CreateNew, name, error)) {
        return error;
    }
    Remember(file, name);
    return FileSystem::CreateNew(name, file);
}

IoResult FaultyFileSystem::Read(File& file, void* buffer, std::size_t count, std::size_t& done) {
    IoResult error = 0;
    if (Hit(Op::Read, NameOf(file), error)) {
        done = 0;
        return error;
    }
    return FileSystem::Read(file, buffer, count, done);
}

IoResult FaultyFileSystem::Write(File& file, const void* buffer, std::size_t count,
                                 std::size_t& done) {
    IoResult error = 0;
    if (Hit(Op::Write, NameOf(file), error)) {
        done = 0;
        return error;
    }
    if (count > 0 && Hit(Op::ShortWrite, NameOf(file), error)) {
        return FileSystem::Write(file, buffer, count - 1, done);
    }
    return FileSystem::Write(file, buffer, count, done);
}

IoResult FaultyFileSystem::Seek(File& file, std::int64_t position) {
    IoResult error = 0;
    if (Hit(Op::Seek, NameOf(file), error)) {
        return error;
    }
    return FileSystem::Seek(file, position);
}

IoResult FaultyFileSystem::Size(File& file, std::int64_t& size) {
    IoResult error = 0;
    if (Hit(Op::Size, NameOf(file), error)) {
        size = -1;
        return error;
    }
    return FileSystem::Size(file, size);
}

IoResult FaultyFileSystem::Sync(File& file) {
    IoResult error = 0;
    if (Hit(Op::Sync, NameOf(file), error)) {
        return error;
    }
    return FileSystem::Sync(file);
}

IoResult FaultyFileSystem::Close(File& file) {
    IoResult error = 0;
    const std::string name = NameOf(file);
    const IoResult closed = FileSystem::Close(file);
    if (Hit(Op::Close, name, error)) {
        return error;
    }
    return closed;
}

IoResult FaultyFileSystem::CopyMode(File& file, const std::string& from) {
    IoResult error = 0;
    if (Hit(Op::CopyMode, NameOf(file), error)) {
        return error;
    }
    return FileSystem::CopyMode(file, from);
}

IoResult FaultyFileSystem::Replace(const std::string& from, const std::string& to) {
    IoResult error = 0;
    if (Hit(Op::Replace, to, error)) {
        return error;
    }
    replaced.emplace_back(from, to);
    return FileSystem::Replace(from, to);
}

IoResult FaultyFileSystem::Remove(const std::string& name) {
    IoResult error = 0;
    if (Hit(Op::Remove, name, error)) {
        return error;
    }
    return FileSystem::Remove(name);
}

IoResult FaultyFileSystem::SyncFolder(const std::string& folder) {
    IoResult error = 0;
    if (Hit(Op::SyncFolder, folder, error)) {
        return error;
    }
    return FileSystem::SyncFolder(folder);
}

}  // namespace velkor::testing
