#pragma once

#include <optional>
#include <string>

namespace velkor::cli {

// Where the key comes from: the terminal (empty), or "env:NAME",
// "file:PATH" or "fd:N". Returns the raw text, or nothing with `error` set.
// A key is never taken from an argument of its own: it would show in the
// process list.
std::optional<std::string> ReadKeyText(const std::string& from, bool askTwice, std::string& error);

}  // namespace velkor::cli
