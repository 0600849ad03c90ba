#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "CompileJob.h"
#include "JobState.h"

namespace velkor {

// What the routines of one job share: the window, the services and the job state.
struct CompileJobContext {
    CompileJobContext(CompileSession& compilerWindow, const CompileSettings& jobSettings,
                      JobServices jobServices)
        : window(compilerWindow),
          host(compilerWindow.host()),
          files(jobServices.files),
          settings(jobSettings),
          random(std::move(jobServices.random)),
          messageInterval(jobServices.messageInterval) {}

    CompileSession& window;
    Host& host;
    FileSystem& files;
    const CompileSettings& settings;
    RandomByteSource random;
    std::chrono::nanoseconds messageInterval;
    std::chrono::steady_clock::time_point lastMessages{};

    JobState state;
    int IoErrors = 0;
    bool Finished = false;
    bool WorkFileChosen = false;
    std::int64_t KeyFileSize = 0;

    std::array<std::uint8_t, 4096> InBuffer{};
    std::array<std::uint8_t, 4096> OutBuffer{};
};

// Stops the job with the hand sound and a file message.
void ReportFileError(CompileJobContext& job, const std::string& name, const std::string& error);

}  // namespace velkor
