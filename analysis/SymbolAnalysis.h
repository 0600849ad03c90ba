#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "AnalysisState.h"
#include "FileError.h"
#include "FileSystem.h"
#include "Host.h"
#include "MessagePump.h"

namespace velkor {

// One run of the Analyse command: count the byte values of a file, write the
// log beside it and offer to show it. Every message and sound goes through the
// host; the caller disables and enables its own controls around the run.
class SymbolAnalysis {
  public:
    SymbolAnalysis(Host& host, FileSystem& fileSystem,
                   std::chrono::nanoseconds messageInterval = MessagePump::kDefaultInterval);

    // Starts afresh with the full path the user chose, or nothing if the
    // choice was cancelled.
    void ChooseAnalysisFile(const std::optional<std::string>& chosenPath);
    void CountSymbols();
    void WriteAnalysisLog();

    // The three steps in order, each only while the analysis may go on.
    // True when the log was written.
    bool Run(const std::optional<std::string>& chosenPath);

    const AnalysisState& State() const { return state_; }

    // Large reads: the count runs at memory speed, the system calls must not
    // set the pace, and the helper thread, which takes a few tens of
    // microseconds to wake, must find most of a block still to count.
    static constexpr std::size_t kBlockSize = std::size_t{1} << 22;

  private:
    void CountOpenSource(File& source, FileError& error);
    FileError WriteLogFile();
    // The hand sound and an error box; the analysis goes no further.
    void Refuse(const std::string& message);
    void OfferResults();

    Host& host_;
    FileSystem& fileSystem_;
    MessagePump pump_;
    AnalysisState state_;
};

}  // namespace velkor
