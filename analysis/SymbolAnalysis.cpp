#include "SymbolAnalysis.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "AnalysisLogFormat.h"
#include "AnalysisLogName.h"
#include "PrivateFile.h"
#include "SplitTally.h"
#include "TextFileWriter.h"

namespace velkor {

namespace {

std::string FileMessage(const std::string& path, const std::string& error) {
    return "File:\r" + FileNamePart(path) + "\r" + error;
}

}  // namespace

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
    File source;
    IoResult result = fileSystem_.OpenRead(state_.AnalysisSourceName, source);
    if (result == 0) {
        result = CountOpenSource(source);
    }
    const IoResult closed = source.IsOpen() ? fileSystem_.Close(source) : 0;
    if (closed != 0 || result != 0) {
        ReportSourceReadError();
    }
}

IoResult SymbolAnalysis::CountOpenSource(File& source) {
    std::int64_t size = 0;
    IoResult result = fileSystem_.Size(source, size);
    if (result != 0 || size == 0) {
        if (result == 0) {
            ReportSourceEmpty();
        }
        return result;
    }
    std::vector<std::uint8_t> block(kBlockSize);
    SplitTally tally;
    std::size_t done = 0;
    do {
        result = fileSystem_.Read(source, block.data(), block.size(), done);
        if (result == 0) {
            state_.AnalysedSize += done;
            tally.Add(block.data(), done);
        }
        if (pump_.Poll() && host_.Terminating()) {
            state_.AnalysisProceed = false;
        }
    } while (done > 0 && result == 0 && state_.AnalysisProceed);
    state_.SymbolCounts = tally.Counts();
    // A file emptied after its size was taken has no shares to compute.
    if (result == 0 && state_.AnalysisProceed && state_.AnalysedSize == 0) {
        ReportSourceEmpty();
    }
    return result;
}

void SymbolAnalysis::WriteAnalysisLog() {
    if (WriteLogFile() != 0) {
        ReportLogWriteError();
    }
    if (state_.AnalysisProceed) {
        OfferResults();
    }
}

IoResult SymbolAnalysis::WriteLogFile() {
    // Only through a link can the log name reach the analysed file; writing
    // there would destroy what was just analysed.
    if (fileSystem_.SameFile(state_.AnalysisSourceName, state_.AnalysisLogName)) {
        return EEXIST;
    }
    PrivateFile log(fileSystem_);
    IoResult result = log.CreateResultFor(state_.AnalysisLogName);
    if (result == 0) {
        TextFileWriter writer(fileSystem_, log.file());
        for (const std::string& line : AnalysisLogLines(state_)) {
            result = writer.WriteLine(line);
            if (result != 0) {
                break;
            }
        }
        if (result == 0) {
            result = writer.Flush();
        }
    }
    // A log that could not be written whole leaves an older one as it was.
    return result == 0 ? log.Commit() : result;
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

void SymbolAnalysis::ReportSourceEmpty() {
    host_.PlaySound(Sound::Hand);
    host_.ShowMessage(MessageKind::Error, Buttons::Ok,
                      FileMessage(state_.AnalysisSourceName, "is empty!"));
    state_.AnalysisProceed = false;
}

void SymbolAnalysis::ReportSourceReadError() {
    host_.PlaySound(Sound::Hand);
    host_.ShowMessage(MessageKind::Error, Buttons::Ok,
                      FileMessage(state_.AnalysisSourceName, "read error!"));
    state_.AnalysisProceed = false;
}

void SymbolAnalysis::ReportLogWriteError() {
    host_.PlaySound(Sound::Hand);
    host_.ShowMessage(MessageKind::Error, Buttons::Ok,
                      FileMessage(state_.AnalysisLogName, "write error!"));
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
