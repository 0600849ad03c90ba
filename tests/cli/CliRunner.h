#pragma once

#include <string>

#include "TempDir.h"

namespace velkor::testing {

struct CliRun {
    // Exit status; 128 + N when signal N ended the tool.
    int status = -1;
    std::string out;
    std::string err;
};

// Runs velkor32-cli in `folder` with shell-quoted `arguments` (redirections
// allowed), standard input from the file `input` (or /dev/null). A tool that
// hangs is ended by an alarm after a minute instead of holding up the suite.
CliRun RunCli(const TempDir& folder, const std::string& arguments,
              const std::string& input = "/dev/null");

// The same for a whole shell script, which finds the tool in $VELKOR_CLI.
CliRun RunShell(const TempDir& folder, const std::string& script,
                const std::string& input = "/dev/null");

}  // namespace velkor::testing
