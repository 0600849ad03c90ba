#pragma once

#include <string>

#include "KeyInput.h"
#include "Secret.h"

namespace velkor::cli {

// Where the key comes from: the terminal (empty), or "env:NAME", "file:PATH"
// or "fd:N". A key is never taken from an argument of its own (it would show
// in the process list), nor from standard input when that carries the data.
struct KeySource {
    std::string from;
    bool askTwice = false;
    bool standardInputIsData = false;
};

// Reads the raw key text into `text`; `error` says why nothing came.
KeyReadResult ReadKeyText(const KeySource& source, SecretBytes& text, std::string& error);

}  // namespace velkor::cli
