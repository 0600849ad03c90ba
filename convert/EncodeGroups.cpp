#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "BufferedReader.h"
#include "BufferedWriter.h"
#include "ConversionSession.h"
#include "GroupText.h"
#include "MessagePump.h"
#include "PrivateFile.h"
#include "SymbolForming.h"

namespace velkor {
namespace {

// Symbols wait here until they fill whole lines: those of one block and the
// fewer than a line left from the blocks before, with room for the writes past
// the last symbol that forming symbols does (more than the reads past it that
// laying out a line does).
constexpr std::size_t kSymbolRoom =
    2 * groups::kBlockSize + groups::kSymbolsPerLine + groups::kFormingSlack;
static_assert(groups::kFormingSlack >= sizeof(std::uint64_t));

struct EncodeState {
    explicit EncodeState(ConversionSession& w)
        : window(w),
          fileSystem(w.fileSystem()),
          drain(fileSystem),
          reader(fileSystem, source, {error, FileRole::Source, w.SourceFileName}),
          writer(fileSystem, drain.file(), {error, FileRole::Drain, w.DrainFileName}),
          pump(w.host(), w.messageInterval),
          symbols(kSymbolRoom) {}

    ConversionSession& window;
    FileSystem& fileSystem;
    char range = '0';
    // 64-bit, so that no source is too long for the count line.
    std::int64_t symbolCount = 0;
    FileError error;
    bool finished = false;
    File source;
    PrivateFile drain;
    BufferedReader reader;
    BufferedWriter writer;
    MessagePump pump;
    const groups::SymbolForming formSymbols = groups::FastestSymbolForming();
    std::vector<char> symbols;
    // Symbols at the front of `symbols` not yet laid out: fewer than a line.
    std::size_t waiting = 0;
};

void OpenFiles(EncodeState& s) {
    s.error.Note(s.fileSystem.OpenRead(s.window.SourceFileName, s.source), FileRole::Source,
                 s.window.SourceFileName);
    s.error.Note(s.drain.CreateResultFor(s.window.DrainFileName), FileRole::Drain,
                 s.window.DrainFileName);
}

// Each group is copied as eight bytes and the three too many are written over
// by what follows, so a line costs a dozen stores and no branch.
char* LayOutLines(const char* symbols, std::size_t lines, char* out) {
    constexpr std::ptrdiff_t kGroup = groups::kSymbolsPerGroup;
    for (std::size_t line = 0; line < lines; ++line) {
        for (std::ptrdiff_t group = 0; group < groups::kGroupsPerLine; ++group) {
            std::memcpy(out + group * (kGroup + 1), symbols + group * kGroup,
                        sizeof(std::uint64_t));
            out[group * (kGroup + 1) + kGroup] = ' ';
        }
        out[groups::kLineLength - 2] = '\r';
        out[groups::kLineLength - 1] = '\n';
        out += groups::kLineLength;
        symbols += groups::kSymbolsPerLine;
    }
    return out;
}

// Output goes out only when the writer's buffer is full, so a write error can
// strike only before a block, where the error is tested.
void EncodeBlock(EncodeState& s, std::span<const unsigned char> block) {
    char* const first = s.symbols.data();
    char* const formed = s.formSymbols(s.range, block, first + s.waiting);
    s.symbolCount += formed - (first + s.waiting);
    const auto count = static_cast<std::size_t>(formed - first);
    const std::size_t lines = count / groups::kSymbolsPerLine;
    char* out = s.writer.Reserve(lines * groups::kLineLength + sizeof(std::uint64_t));
    if (s.error.Failed()) {
        return;
    }
    s.writer.Commit(LayOutLines(first, lines, out));
    s.waiting = count - lines * groups::kSymbolsPerLine;
    std::memmove(first, first + lines * groups::kSymbolsPerLine, s.waiting);
}

void EncodeSource(EncodeState& s) {
    while (!s.finished && s.window.Converting && !s.error.Failed()) {
        const auto block = s.reader.Next(groups::kBlockSize);
        s.window.AdvanceProgress(static_cast<std::int64_t>(block.size()));
        EncodeBlock(s, block);
        if (block.empty() || s.reader.AtEnd()) {
            s.finished = true;
        }
        s.pump.Worked(block.size());
        if (s.window.StopRequest() != StopReason::None) {
            s.window.Converting = false;
        }
    }
}

// The symbols short of a full line make the last group line.
void WriteTrailer(EncodeState& s) {
    for (std::size_t at = 0; at < s.waiting; ++at) {
        s.writer.Put(s.symbols[at]);
        if ((at + 1) % groups::kSymbolsPerGroup == 0) {
            s.writer.Put(' ');
        }
    }
    if (s.waiting != 0) {
        s.writer.Put(groups::kLineEnd);
    }
    s.writer.Put(groups::kMarkerLine);
    const std::int64_t count =
        (s.symbolCount + groups::kSymbolsPerGroup - 1) / groups::kSymbolsPerGroup;
    s.writer.Put(groups::kCountPrefix);
    s.writer.Put(std::to_string(count));
    s.writer.Put(groups::kLineEnd);
}

void CloseFiles(EncodeState& s) {
    if (s.source.IsOpen()) {
        s.error.Note(s.fileSystem.Close(s.source), FileRole::Source, s.window.SourceFileName);
    }
    if (!s.error.Failed() && s.window.Converting) {
        WriteTrailer(s);
    }
    if (s.drain.IsCreated()) {
        s.writer.Flush();
        // Only a complete result replaces the drain; anything else is removed.
        if (!s.error.Failed() && s.finished && s.window.Converting) {
            s.error.Note(s.drain.Commit(), FileRole::Drain, s.window.DrainFileName);
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
    if (!s.error.Failed() && s.finished) {
        s.window.ReportSuccess("groups formed in file");
    } else {
        s.window.Outcome = ConversionOutcome::Failed;
        s.window.ReportFileError(FileProblem::ConvertError);
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
