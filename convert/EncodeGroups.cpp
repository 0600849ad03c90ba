#include <cstdint>
#include <span>
#include <string>

#include "BufferedReader.h"
#include "BufferedWriter.h"
#include "ConvertWindow.h"
#include "GroupText.h"
#include "MessagePump.h"

namespace velkor {
namespace {

using groups::kSymbols;

struct EncodeState {
    explicit EncodeState(ConvertWindow& w)
        : window(w),
          fileSystem(w.fileSystem()),
          reader(fileSystem, source, errorSum),
          writer(fileSystem, drain, errorSum),
          pump(w.host()) {}

    ConvertWindow& window;
    FileSystem& fileSystem;
    char range = '0';
    int symbolsOnLine = 0;
    // 64-bit, so that no source is too long for the count line.
    std::int64_t groups = 0;
    std::int64_t errorSum = 0;
    bool finished = false;
    File source;
    File drain;
    BufferedReader reader;
    BufferedWriter writer;
    MessagePump pump;
};

void OpenFiles(EncodeState& s) {
    s.errorSum += s.fileSystem.OpenRead(s.window.SourceFileName, s.source);
    s.errorSum += s.fileSystem.Create(s.window.DrainFileName, s.drain);
}

// A space follows every fifth symbol of a line, a line end the fiftieth.
void PutSymbol(EncodeState& s, char symbol) {
    ++s.symbolsOnLine;
    s.writer.Put(symbol);
    if (s.errorSum != 0) {
        return;
    }
    if (s.symbolsOnLine == groups::kSymbolsPerLine) {
        s.writer.Put(groups::kLineEnd);
        s.symbolsOnLine = 0;
        ++s.groups;
    } else if (s.symbolsOnLine % groups::kSymbolsPerGroup == 0) {
        s.writer.Put(' ');
        ++s.groups;
    }
}

void EncodeBlock(EncodeState& s, std::span<const unsigned char> block) {
    for (const unsigned char byte : block) {
        if (s.errorSum != 0) {
            return;
        }
        const char digit = kSymbols.digit[byte];
        if (digit != s.range) {
            s.range = digit;
            PutSymbol(s, digit);
            if (s.errorSum != 0) {
                return;
            }
        }
        PutSymbol(s, kSymbols.letter[byte]);
    }
}

void EncodeSource(EncodeState& s) {
    while (!s.finished && s.window.Converting && s.errorSum == 0) {
        const auto block = s.reader.Next(groups::kBlockSize);
        s.window.AdvanceProgress(static_cast<std::int64_t>(block.size()));
        EncodeBlock(s, block);
        if (block.empty() || s.reader.AtEnd()) {
            s.finished = true;
        }
        s.pump.Worked(block.size());
        if (s.window.StopRequested()) {
            s.window.Converting = false;
        }
    }
}

void WriteTrailer(EncodeState& s) {
    if (s.symbolsOnLine != 0) {
        s.writer.Put(groups::kLineEnd);
    }
    s.writer.Put(groups::kMarkerLine);
    const std::int64_t count =
        s.symbolsOnLine % groups::kSymbolsPerGroup == 0 ? s.groups : s.groups + 1;
    s.writer.Put(groups::kCountPrefix);
    s.writer.Put(std::to_string(count));
    s.writer.Put(groups::kLineEnd);
}

void CloseFiles(EncodeState& s) {
    if (s.source.IsOpen()) {
        s.errorSum += s.fileSystem.Close(s.source);
    }
    if (s.errorSum == 0 && s.window.Converting) {
        WriteTrailer(s);
    }
    if (s.drain.IsOpen()) {
        s.writer.Flush();
        s.errorSum += s.fileSystem.Close(s.drain);
    }
    s.window.StopAnimation();
}

void Report(EncodeState& s) {
    if (!s.window.Converting) {
        return;
    }
    if (s.errorSum == 0 && s.finished) {
        s.window.ReportSuccess("groups formed in file");
    } else {
        s.window.Outcome = ConversionOutcome::Failed;
        s.window.ReportFileError("convert error!");
    }
}

}  // namespace

void ConvertWindow::EncodeGroups() {
    EncodeState s(*this);
    OpenFiles(s);
    if (s.drain.IsOpen()) {
        s.writer.Put(groups::kMarkerLine);
    }
    EncodeSource(s);
    CloseFiles(s);
    Report(s);
}

}  // namespace velkor
