#pragma once

#include <cstddef>
#include <string>

#include "Host.h"

namespace velkor {

// Longest file name or folder handed to the shell; longer texts are cut.
constexpr std::size_t kShellTextLimit = 2048;

// Hands a file to the desktop's default action for its type (opens it with its
// associated program), with `directory` as working directory. Nothing is checked
// and failures are not reported: the desktop may show its own message.
void ShellOpenFile(Host& host, const std::string& fileName, const std::string& directory);

// Opens the file named by a path: its file-name part, in its folder.
void ShellOpenPath(Host& host, const std::string& path);

}  // namespace velkor
