#pragma once

#include <chrono>

#include "CompileSession.h"
#include "CompileSettings.h"
#include "FileSystem.h"
#include "MessagePump.h"
#include "PassStage.h"

namespace velkor {

struct JobServices {
    FileSystem& files;
    // Empty: a generator seeded from the clock once per job.
    RandomByteSource random;
    // How much work may pass between two rounds of the message loop.
    std::chrono::nanoseconds messageInterval = MessagePump::kDefaultInterval;
    // Passes chained in memory at once (each holds up to some 120 KiB, so a
    // group stays near 16 MiB); a job with more spools through its work file
    // between such groups.
    std::size_t passesPerGroup = 128;
};

// Runs one whole compile job while the session's CompilePending is set: opens
// the files, runs one pass per key, chained in memory, into a private file
// that replaces the drain only when the job has finished, and reports the
// outcome through the session's host. The session's flags tell the rest of
// the program how it ended.
void CompileJob(CompileSession& session, const CompileSettings& settings, JobServices services);

}  // namespace velkor
