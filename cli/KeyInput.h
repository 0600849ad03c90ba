#pragma once

#include <string>

#include "Secret.h"

namespace velkor::cli {

// Longest key line taken: 128 characters of up to four UTF-8 bytes each, and
// a line end. Anything longer is refused before it can grow without bound.
constexpr std::size_t kMaxKeyLineBytes = 4 * 128 + 2;

enum class KeyReadResult { Read, TooLong, Failed, Interrupted };

// Reads the first line of a descriptor (without its line end) into `line`, in
// bounded blocks into storage reserved once, so no copy of it is left behind.
// Waits for input in a way a caught signal ends.
KeyReadResult ReadKeyLine(int fd, SecretBytes& line);

// Asks on the terminal (/dev/tty) with echo off; the terminal gets its echo
// back on every way out, a signal included. `error` says why nothing came.
KeyReadResult AskOnTerminal(const char* prompt, SecretBytes& line, std::string& error);

}  // namespace velkor::cli
