#include <cstdint>
#include <span>
#include <string>

#include "BufferedReader.h"
#include "BufferedWriter.h"
#include "ConversionSession.h"
#include "GroupText.h"
#include "MessagePump.h"
#include "PrivateFile.h"

namespace velkor {
namespace {

using groups::kSymbols;

// A byte gives at most two symbols, each followed by at most a line end.
constexpr std::size_t kMostOutputPerByte = 6;

// Where the next symbol goes. Kept apart from the state while a block is
// encoded: stores through the output pointer could alias any field.
struct LinePosition {
    char range = '0';
    int groupsOnLine = 0;
    int symbolsInGroup = 0;
    // 64-bit, so that no source is too long for the count line.
    std::int64_t groups = 0;
};

struct EncodeState {
    explicit EncodeState(ConversionSession& w)
        : window(w),
          fileSystem(w.fileSystem()),
          drain(fileSystem),
          reader(fileSystem, source, errorSum),
          writer(fileSystem, drain.file(), errorSum),
          pump(w.host(), w.messageInterval) {}

    ConversionSession& window;
    FileSystem& fileSystem;
    LinePosition at;
    std::int64_t errorSum = 0;
    bool finished = false;
    File source;
    PrivateFile drain;
    BufferedReader reader;
    BufferedWriter writer;
    MessagePump pump;
};

void OpenFiles(EncodeState& s) {
    s.errorSum += s.fileSystem.OpenRead(s.window.SourceFileName, s.source);
    s.errorSum += s.drain.CreateResultFor(s.window.DrainFileName);
}

// A space follows every fifth symbol of a line, a line end the fiftieth.
inline char* PutSymbol(LinePosition& at, char* out, char symbol) {
    *out++ = symbol;
    if (++at.symbolsInGroup == groups::kSymbolsPerGroup) {
        at.symbolsInGroup = 0;
        ++at.groups;
        if (++at.groupsOnLine == groups::kSymbolsPerLine / groups::kSymbolsPerGroup) {
            at.groupsOnLine = 0;
            *out++ = '\r';
            *out++ = '\n';
        } else {
            *out++ = ' ';
        }
    }
    return out;
}

// Output goes out only when the writer's buffer is full, so a write error can
// strike only before a block, where the error sum is tested.
void EncodeBlock(EncodeState& s, std::span<const unsigned char> block) {
    char* out = s.writer.Reserve(block.size() * kMostOutputPerByte);
    if (s.errorSum != 0) {
        return;
    }
    LinePosition at = s.at;
    for (const unsigned char byte : block) {
        const char digit = kSymbols.digit[byte];
        if (digit != at.range) {
            at.range = digit;
            out = PutSymbol(at, out, digit);
        }
        out = PutSymbol(at, out, kSymbols.letter[byte]);
    }
    s.at = at;
    s.writer.Commit(out);
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
    if (s.at.groupsOnLine != 0 || s.at.symbolsInGroup != 0) {
        s.writer.Put(groups::kLineEnd);
    }
    s.writer.Put(groups::kMarkerLine);
    const std::int64_t count = s.at.symbolsInGroup == 0 ? s.at.groups : s.at.groups + 1;
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
    if (s.drain.IsCreated()) {
        s.writer.Flush();
        // Only a complete result replaces the drain; anything else is removed.
        if (s.errorSum == 0 && s.finished && s.window.Converting) {
            s.errorSum += s.drain.Commit();
        } else {
            s.drain.Discard();
        }
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

void ConversionSession::EncodeGroups() {
    EncodeState s(*this);
    OpenFiles(s);
    if (s.drain.IsCreated()) {
        s.writer.Put(groups::kMarkerLine);
    }
    EncodeSource(s);
    CloseFiles(s);
    Report(s);
}

}  // namespace velkor
