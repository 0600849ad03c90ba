#pragma once

#include <optional>
#include <string>

namespace velkor::cli {

// The full path of a name as the user gave it, with no "." or ".." parts: the
// folder is resolved as the system sees it (so "link/.." means what the
// kernel means), the last part is kept, so a link is still named as itself.
// Nothing when the current directory is gone or the folder does not exist.
std::optional<std::string> AbsolutePath(const std::string& name);

}  // namespace velkor::cli
