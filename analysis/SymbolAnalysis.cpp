#include "SymbolAnalysis.h"

#include <array>
#include <cerrno>
#include <cstdint>

#include "AnalysisLogFormat.h"
#include "AnalysisLogName.h"
#include "BufferedWriter.h"
#include "FileMessages.h"
#include "PrivateFile.h"
#include "Secret.h"
#include "SplitTally.h"

namespace velkor {

SymbolAnalysis::SymbolAnalysis(Host& host, FileSystem& fileSystem,
                               std::chrono::nanoseconds messageInterval)
    : host_(host), fileSystem_(fileSystem), pump_(host, messageInterval) {}

void SymbolAnalysis::ChooseAnalysisFile(const std::optional<std::string>& chosenPath) {
    state_ = AnalysisState{};
    state_.AnalysisProceed = chosenPath.has_value();
    if (chosenPath) {
        state_.AnalysisSourceName = *chosenPath;
    }
    if (state_.AnalysisSourceName.empty()) {
        state_.AnalysisProceed = false;
    } else if (state_.AnalysisProceed) {
        state_.AnalysisLogName = AnalysisLogNameFor(state_.AnalysisSourceName);
    }
}

void SymbolAnalysis::CountSymbols() {
    const std::string shownName = FileNamePart(state_.AnalysisSourceName);
    FileError error;
    File source;
    if (error.Note(fileSystem_.OpenRead(state_.AnalysisSourceName, source), FileRole::Source,
                   shownName)) {
        CountOpenSource(source, error);
    }
    if (source.IsOpen()) {
        error.Note(fileSystem_.Close(source), FileRole::Source, shownName);
    }
    if (error.Failed()) {
        Refuse(FileErrorMessage(error));
    }
}

void SymbolAnalysis::CountOpenSource(File& source, FileError& error) {
    const std::string shownName = FileNamePart(state_.AnalysisSourceName);
    std::int64_t size = 0;
    if (!error.Note(fileSystem_.Size(source, size), FileRole::Source, shownName)) {
        return;
    }
    if (size == 0) {
        Refuse(FileMessage(shownName, FileProblem::Empty));
        return;
    }
    // One block is read while the other is counted; SecretBytes for their
    // alignment, which reads need, and their wiping.
    std::array<SecretBytes, 2> blocks{SecretBytes(kBlockSize), SecretBytes(kBlockSize)};
    std::size_t next = 0;
    SplitTally tally;
    std::size_t done = 0;
    bool read = true;
    do {
        auto& block = blocks[next];
        next ^= 1;
        read = error.Note(fileSystem_.Read(source, block.data(), block.size(), done),
                          FileRole::Source, shownName);
        if (read) {
            state_.AnalysedSize += done;
            tally.Add(block.data(), done);
        }
        if (pump_.Poll() && host_.StopRequest() != StopReason::None) {
            state_.AnalysisProceed = false;
        }
    } while (done > 0 && read && state_.AnalysisProceed);
    state_.SymbolCounts = tally.Counts();
    // A file emptied after its size was taken has no shares to compute.
    if (read && state_.AnalysisProceed && state_.AnalysedSize == 0) {
        Refuse(FileMessage(shownName, FileProblem::Empty));
    }
}

void SymbolAnalysis::WriteAnalysisLog() {
    const FileError error = WriteLogFile();
    if (error.Failed()) {
        Refuse(FileErrorMessage(error));
    }
    if (state_.AnalysisProceed) {
        OfferResults();
    }
}

FileError SymbolAnalysis::WriteLogFile() {
    const std::string shownName = FileNamePart(state_.AnalysisLogName);
    FileError error;
    // Only through a link can the log name reach the analysed file; writing
    // there would destroy what was just analysed.
    if (fileSystem_.SameFile(state_.AnalysisSourceName, state_.AnalysisLogName)) {
        error.Note(EEXIST, FileRole::Drain, shownName);
        return error;
    }
    PrivateFile log(fileSystem_);
    if (error.Note(log.CreateResultFor(state_.AnalysisLogName), FileRole::Drain, shownName)) {
        BufferedWriter writer(fileSystem_, log.file(), {error, FileRole::Drain, shownName});
        for (const std::string& line : AnalysisLogLines(state_)) {
            writer.Put(line);
            writer.Put("\r\n");
        }
        writer.Flush();
    }
    // A log that could not be written whole leaves an older one as it was.
    if (!error.Failed()) {
        error.Note(log.Commit(), FileRole::Drain, shownName);
    }
    return error;
}

bool SymbolAnalysis::Run(const std::optional<std::string>& chosenPath) {
    ChooseAnalysisFile(chosenPath);
    if (state_.AnalysisProceed) {
        CountSymbols();
    }
    if (state_.AnalysisProceed) {
        WriteAnalysisLog();
    }
    return state_.AnalysisProceed;
}

void SymbolAnalysis::Refuse(const std::string& message) {
    host_.PlaySound(Sound::Hand);
    host_.ShowMessage(MessageKind::Error, Buttons::Ok, message);
    state_.AnalysisProceed = false;
}

void SymbolAnalysis::OfferResults() {
    const std::string logFile = FileNamePart(state_.AnalysisLogName);
    host_.PlaySound(Sound::Question);
    const Answer answer = host_.ShowMessage(
        MessageKind::Confirmation, Buttons::YesNo,
        "File: " + FileNamePart(state_.AnalysisSourceName) + " analysed." + "\r" + "\r" +
            "Results written into file:" + "\r" + logFile + "\r" + "\r" + "Show results?");
    if (answer == Answer::Yes) {
        host_.ShellOpenFile(logFile, FolderPart(state_.AnalysisLogName));
    }
}

}  // namespace velkor
