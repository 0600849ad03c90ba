#pragma once

#include <string>

#include "Commands.h"
#include "Secret.h"
#include "TerminalHost.h"

namespace velkor::cli {

// Turns core dumps off and reads the key of an encrypt or decrypt run (asked
// twice on the terminal for encrypt) as its Windows-1252 bytes. Returns the
// exit status: kSuccess with `key` filled, or the status to end the run with.
int ReadJobKey(const CryptOptions& options, bool standardInputIsData, SecretBytes& key);

// Runs the request checks and then the compile job of one source and drain
// through `host`. True when the job finished and its result is in place.
bool RunCryptJob(const CryptOptions& options, const std::string& source, const std::string& drain,
                 const SecretBytes& key, TerminalHost& host);

}  // namespace velkor::cli
