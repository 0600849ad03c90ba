#pragma once

#include <string>

#include "FileSystem.h"

namespace velkor {

// What a name chosen to save to is, by the rules of the save dialog: a folder
// is opened, a missing folder and a write-protected file are refused, an
// existing name is replaced only when the user agrees, a new one created only
// when the user agrees. The window's dialog and the command-line tool share them.
enum class SaveTarget { Folder, MissingFolder, WriteProtected, Existing, New };

SaveTarget ClassifySaveTarget(FileSystem& files, const std::string& path);

}  // namespace velkor
