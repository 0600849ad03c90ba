#include "PrivateFile.h"

#include <random>

namespace velkor {

namespace {

// Enough tries that only a folder we cannot create in makes us give up.
constexpr int kAttempts = 10000;

}  // namespace

IoResult PrivateFile::Create(const std::string& folder,
                             const std::function<std::string(int)>& candidate) {
    Discard();
    IoResult result = EEXIST;
    for (int attempt = 0; attempt < kAttempts && result == EEXIST; ++attempt) {
        const std::string name = folder + candidate(attempt);
        result = files_.CreateNew(name, file_);
        if (result == 0) {
            name_ = name;
        }
    }
    return result;
}

IoResult PrivateFile::CreateResultFor(const std::string& drain) {
    std::string target;
    IoResult result = files_.ResolveDrain(drain, target);
    if (result != 0) {
        return result;
    }
    // A folder, FIFO or device under the drain's name is never replaced.
    FileIdentity existing;
    if (files_.Identify(target, existing) == 0 && !files_.FileExists(target)) {
        return kNotRegularFile;
    }
    std::random_device seed;
    std::mt19937 random(seed());
    // Appended, not added up: GCC 12 warns falsely about `"." + name` at -O3.
    std::string base = ".";
    base += FileNamePart(target);
    base += '.';
    result = Create(FolderPart(target), [&](int /*attempt*/) {
        return base + std::to_string(random() % 1000000000U) + ".part";
    });
    if (result == 0) {
        target_ = target;
    }
    return result;
}

IoResult PrivateFile::Commit() {
    if (!IsCreated() || target_.empty()) {
        return EBADF;
    }
    IoResult result = files_.Sync(file_);
    if (result == 0 && files_.FileExists(target_)) {
        result = files_.CopyMode(file_, target_);
    }
    const IoResult closed = files_.Close(file_);
    result = result != 0 ? result : closed;
    if (result == 0) {
        result = files_.Replace(name_, target_);
    }
    if (result != 0) {
        Discard();
        return result;
    }
    name_.clear();
    return files_.SyncFolder(FolderPart(target_));
}

void PrivateFile::Discard() {
    if (file_.IsOpen()) {
        files_.Close(file_);
    }
    if (!name_.empty()) {
        files_.Remove(name_);
        name_.clear();
    }
}

std::string WorkFileCandidate(int attempt) {
    const std::string base = "VELKOR.VLK";
    return attempt == 0 ? base : std::to_string(attempt) + base;
}

}  // namespace velkor
