#pragma once

#include <optional>
#include <string>

#include "AnalysisState.h"
#include "FileSystem.h"
#include "Host.h"

namespace velkor {

// One run of the Analyse command: count the byte values of a file, write the
// log beside it and offer to show it. Every message and sound goes through the
// host; the caller disables and enables its own controls around the run.
class SymbolAnalysis {
  public:
    explicit SymbolAnalysis(Host& host, FileSystem& fileSystem = FileSystem::Native());

    // Starts afresh with the full path the user chose, or nothing if the
    // choice was cancelled.
    void ChooseAnalysisFile(const std::optional<std::string>& chosenPath);
    void CountSymbols();
    void WriteAnalysisLog();

    // The three steps in order, each only while the analysis may go on.
    // True when the log was written.
    bool Run(const std::optional<std::string>& chosenPath);

    const AnalysisState& State() const { return state_; }

  private:
    static constexpr std::size_t kBlockSize = 4096;

    IoResult CountOpenSource(File& source);
    IoResult WriteLogFile();
    void ReportSourceEmpty();
    void ReportSourceReadError();
    void ReportLogWriteError();
    void OfferResults();

    Host& host_;
    FileSystem& fileSystem_;
    AnalysisState state_;
};

}  // namespace velkor
