#include "ShellOpen.h"

#include "FileSystem.h"

namespace velkor {

void ShellOpenFile(Host& host, const std::string& fileName, const std::string& directory) {
    host.ShellOpenFile(fileName.substr(0, kShellTextLimit), directory.substr(0, kShellTextLimit));
}

void ShellOpenPath(Host& host, const std::string& path) {
    ShellOpenFile(host, FileNamePart(path), FolderPart(path));
}

}  // namespace velkor
