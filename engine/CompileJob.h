#pragma once

#include <chrono>
#include <functional>

#include "CompileSession.h"
#include "CompileSettings.h"
#include "FileSystem.h"

namespace velkor {

// Draws a number in 0..255 for the header length of an encryption pass.
using RandomByteSource = std::function<int()>;

struct JobServices {
    FileSystem& files;
    // Empty: a generator seeded from the clock once per job.
    RandomByteSource random;
    // How much work may pass between two rounds of the message loop.
    std::chrono::nanoseconds messageInterval = std::chrono::milliseconds(4);
};

// Runs one whole compile job while the window's CompilePending is set: opens
// the files, makes one pass per key, reports the outcome through the window's
// host. The window's flags tell the rest of the program how it ended.
void CompileJob(CompileSession& window, const CompileSettings& settings, JobServices services);

}  // namespace velkor
