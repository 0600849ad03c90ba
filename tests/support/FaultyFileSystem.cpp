#include "FaultyFileSystem.h"

namespace velkor::testing {

void FaultyFileSystem::FailAt(Op op, int occurrence, const std::string& name, IoResult error) {
    faults_.push_back(Fault{op, occurrence, name, error});
}

bool FaultyFileSystem::Hit(Op op, const std::string& name, IoResult& error) {
    ++calls[op];
    for (auto& fault : faults_) {
        if (fault.op != op || (!fault.name.empty() && fault.name != name)) {
            continue;
        }
        if (++fault.seen == fault.occurrence) {
            error = fault.error;
            return true;
        }
    }
    return false;
}

std::string FaultyFileSystem::NameOf(const File& file) const {
    const auto found = names_.find(&file);
    return found == names_.end() ? std::string() : found->second;
}

IoResult FaultyFileSystem::OpenRead(const std::string& name, File& file) {
    IoResult error = 0;
    if (Hit(Op::OpenRead, name, error)) {
        return error;
    }
    names_[&file] = name;
    return FileSystem::OpenRead(name, file);
}

IoResult FaultyFileSystem::Create(const std::string& name, File& file) {
    IoResult error = 0;
    if (Hit(Op::Create, name, error)) {
        return error;
    }
    names_[&file] = name;
    return FileSystem::Create(name, file);
}

IoResult FaultyFileSystem::OpenWrite(const std::string& name, File& file) {
    IoResult error = 0;
    if (Hit(Op::OpenWrite, name, error)) {
        return error;
    }
    names_[&file] = name;
    return FileSystem::OpenWrite(name, file);
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

IoResult FaultyFileSystem::Close(File& file) {
    IoResult error = 0;
    const IoResult closed = FileSystem::Close(file);
    if (Hit(Op::Close, NameOf(file), error)) {
        return error;
    }
    return closed;
}

IoResult FaultyFileSystem::Erase(const std::string& name) {
    IoResult error = 0;
    if (Hit(Op::Erase, name, error)) {
        return error;
    }
    return FileSystem::Erase(name);
}

IoResult FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
    IoResult error = 0;
    if (Hit(Op::Rename, to, error)) {
        return error;
    }
    renames.emplace_back(from, to);
    return FileSystem::Rename(from, to);
}

}  // namespace velkor::testing
