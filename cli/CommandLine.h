#pragma once

namespace velkor::cli {

// Reads the command line and runs the command it names; returns the exit
// status. Wrong usage names the offending option or argument (exit 2).
int RunCommandLine(int argc, char** argv);

}  // namespace velkor::cli
