#include "SaveTarget.h"

namespace velkor {

SaveTarget ClassifySaveTarget(FileSystem& files, const std::string& path) {
    const NameKind kind = files.KindOf(path);
    if (kind == NameKind::Folder) {
        return SaveTarget::Folder;
    }
    const std::string folder = FolderPart(path);
    if (files.KindOf(folder.empty() ? std::string(".") : folder) != NameKind::Folder) {
        return SaveTarget::MissingFolder;
    }
    switch (kind) {
        case NameKind::Missing:
            return SaveTarget::New;
        case NameKind::File:
            return files.Writable(path) ? SaveTarget::Existing : SaveTarget::WriteProtected;
        default:
            // A dangling link or a special file: taken, and refused later by the
            // job itself with its own message.
            return SaveTarget::Existing;
    }
}

}  // namespace velkor
