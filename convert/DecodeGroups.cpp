#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "BufferedReader.h"
#include "BufferedWriter.h"
#include "CommonGroupLine.h"
#include "ConversionSession.h"
#include "GroupText.h"
#include "MessagePump.h"
#include "PrivateFile.h"

namespace velkor {
namespace {

// What a character of group text does, after upper-casing.
enum class Kind : std::uint8_t { Ignored, Slash, Digit, Letter, LineEnd, TextEnd };

struct CharClass {
    Kind kind = Kind::Ignored;
    std::uint8_t value = 0;  // digit value or letter index
};

constexpr std::array<CharClass, 256> MakeClasses() {
    std::array<CharClass, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const unsigned char upper = groups::UpperCase(static_cast<unsigned char>(c));
        auto& entry = classes[c];
        if (c == groups::kCarriageReturn) {
            entry.kind = Kind::LineEnd;
        } else if (c == groups::kTextEnd) {
            entry.kind = Kind::TextEnd;
        } else if (upper == groups::kSlash) {
            entry.kind = Kind::Slash;
        } else if (groups::IsDigit(upper)) {
            entry = {Kind::Digit, static_cast<std::uint8_t>(upper - '0')};
        } else if (groups::IsLetter(upper)) {
            entry = {Kind::Letter, static_cast<std::uint8_t>(upper - 'A')};
        }
    }
    return classes;
}

constexpr std::array<CharClass, 256> kClasses = MakeClasses();

// How far the scan of the text has got. The start marker is the first run of
// slashes, on one line; the end marker the next slash. After it the rest of its
// line and the next line (the count line) are read, for the progress bar only.
enum class Phase { Search, StartRun, Decode, EndLine, CountLine, Done };

struct DecodeState {
    explicit DecodeState(ConversionSession& w)
        : window(w),
          fileSystem(w.fileSystem()),
          drain(fileSystem),
          reader(fileSystem, source, {error, FileRole::Source, w.SourceFileName}),
          writer(fileSystem, drain.file(), {error, FileRole::Drain, w.DrainFileName}),
          pump(w.host(), w.messageInterval) {}

    ConversionSession& window;
    FileSystem& fileSystem;
    Phase phase = Phase::Search;
    bool startFound = false;
    bool endFound = false;
    unsigned range = 0;
    // Characters of the current line not yet counted on the progress bar.
    std::int64_t lineLength = 0;
    // A CR ended the last piece read: an LF that opens the next belongs to it.
    bool lineEndOpen = false;
    FileError error;
    File source;
    PrivateFile drain;
    BufferedReader reader;
    BufferedWriter writer;
    MessagePump pump;
};

bool Stopped(const DecodeState& s) {
    return s.phase == Phase::Done || !s.window.Converting || s.error.Failed();
}

void OpenFiles(DecodeState& s) {
    s.error.Note(s.fileSystem.OpenRead(s.window.SourceFileName, s.source), FileRole::Source,
                 s.window.SourceFileName);
    s.error.Note(s.drain.CreateResultFor(s.window.DrainFileName), FileRole::Drain,
                 s.window.DrainFileName);
}

void CountProgress(DecodeState& s, std::int64_t count) {
    s.window.AdvanceProgress(count);
    s.pump.Worked(static_cast<std::size_t>(count));
    if (s.window.StopRequest() != StopReason::None) {
        s.window.Converting = false;
    }
}

// Stop requests are taken at line ends and, within a long line (text with LF
// line ends is one line), after every block, so that Abort always works.
void EndLongLinePart(DecodeState& s) {
    CountProgress(s, s.lineLength);
    s.lineLength = 0;
}

void EndLine(DecodeState& s) {
    const std::int64_t count = s.lineLength + 2;
    s.lineLength = 0;
    switch (s.phase) {
        case Phase::StartRun:
            s.phase = Phase::Decode;
            break;
        case Phase::EndLine:
            s.phase = Phase::CountLine;
            s.window.AdvanceProgress(count);
            return;
        case Phase::CountLine:
            s.phase = Phase::Done;
            break;
        default:
            break;
    }
    CountProgress(s, count);
}

void EndText(DecodeState& s) {
    CountProgress(s, s.lineLength + 2);
    s.lineLength = 0;
    s.phase = Phase::Done;
}

void DecodeCharacter(DecodeState& s, CharClass c) {
    switch (c.kind) {
        case Kind::Slash:
            s.endFound = true;
            s.phase = Phase::EndLine;
            break;
        case Kind::Digit:
            s.range = c.value;
            break;
        case Kind::Letter:
            s.writer.Put(static_cast<char>((groups::kLetters * s.range + c.value) & 0xFFU));
            break;
        default:
            break;
    }
}

void ScanCharacter(DecodeState& s, CharClass c) {
    switch (s.phase) {
        case Phase::Search:
            if (c.kind == Kind::Slash) {
                s.startFound = true;
                s.phase = Phase::StartRun;
            }
            break;
        case Phase::StartRun:
            if (c.kind != Kind::Slash) {
                s.phase = Phase::Decode;
                DecodeCharacter(s, c);
            }
            break;
        case Phase::Decode:
            DecodeCharacter(s, c);
            break;
        default:
            break;
    }
}

// The bulk of the text after the start marker: letters, digits and ignored
// characters, up to the next line end, slash or text end, or the end of a
// block of a long line. Written apart from the state: stores through the
// output pointer could alias any of its fields.
const unsigned char* DecodeRun(DecodeState& s, const unsigned char* next,
                               const unsigned char* end) {
    constexpr auto kBlock = static_cast<std::int64_t>(groups::kBlockSize);
    const unsigned char* const stop = next + std::min(kBlock - s.lineLength, end - next);
    char* out = s.writer.Reserve(groups::kBlockSize);
    if (s.error.Failed()) {
        return next;
    }
    unsigned range = s.range;
    const unsigned char* at = next;
    for (; at < stop; ++at) {
        const CharClass c = kClasses[*at];
        if (c.kind == Kind::Letter) {
            *out++ = static_cast<char>((groups::kLetters * range + c.value) & 0xFFU);
        } else if (c.kind == Kind::Digit) {
            range = c.value;
        } else if (c.kind != Kind::Ignored) {
            break;
        }
    }
    s.range = range;
    s.writer.Commit(out);
    s.lineLength += at - next;
    return at;
}

// Lines of the common form, where no characters of a line are pending, in
// batches that count as one piece of progress. Any other line is left to the
// rules, which give the same bytes and progress for a common line.
const unsigned char* DecodeCommonLines(DecodeState& s, const unsigned char* next,
                                       const unsigned char* end) {
    constexpr std::size_t kMostLines = 256;
    const auto whole = static_cast<std::size_t>(end - next) / groups::kCommonLineLength;
    const std::size_t most = std::min(whole, kMostLines);
    if (most == 0 || !groups::IsCommonLine(next)) {
        return next;
    }
    char* out = s.writer.Reserve(most * groups::kSymbolsPerLine);
    if (s.error.Failed()) {
        return next;
    }
    unsigned range = s.range;
    const unsigned char* at = next;
    std::size_t lines = 0;
    do {
        out = groups::DecodeCommonLine(at, range, out);
        at += groups::kCommonLineLength;
    } while (++lines < most && groups::IsCommonLine(at));
    s.range = range;
    s.writer.Commit(out);
    CountProgress(s, at - next);
    return at;
}

void ScanPiece(DecodeState& s, std::span<const unsigned char> piece) {
    const unsigned char* next = piece.data();
    const unsigned char* const end = next + piece.size();
    if (s.lineEndOpen) {
        s.lineEndOpen = false;
        if (*next == groups::kLineFeed) {
            ++next;
        }
    }
    constexpr auto kBlock = static_cast<std::int64_t>(groups::kBlockSize);
    while (next < end && !Stopped(s)) {
        if (s.phase == Phase::Decode) {
            if (s.lineLength == 0) {
                next = DecodeCommonLines(s, next, end);
                if (next == end || Stopped(s)) {
                    break;
                }
            }
            next = DecodeRun(s, next, end);
            if (s.lineLength == kBlock) {
                EndLongLinePart(s);
            }
            if (next == end || Stopped(s)) {
                break;
            }
        }
        const CharClass c = kClasses[*next++];
        if (c.kind == Kind::LineEnd) {
            if (next == end) {
                s.lineEndOpen = true;
            } else if (*next == groups::kLineFeed) {
                ++next;
            }
            EndLine(s);
        } else if (c.kind == Kind::TextEnd) {
            EndText(s);
        } else {
            ScanCharacter(s, c);
            if (++s.lineLength == kBlock) {
                EndLongLinePart(s);
            }
        }
    }
}

void ScanText(DecodeState& s) {
    while (!Stopped(s)) {
        const auto piece = s.reader.Next(BufferedReader::kCapacity);
        if (s.error.Failed()) {
            return;
        }
        if (piece.empty()) {
            EndText(s);
            return;
        }
        ScanPiece(s, piece);
    }
}

void CloseFiles(DecodeState& s) {
    if (s.source.IsOpen()) {
        s.error.Note(s.fileSystem.Close(s.source), FileRole::Source, s.window.SourceFileName);
    }
    if (s.drain.IsCreated()) {
        s.writer.Flush();
        // Only a complete result replaces the drain; anything else is removed.
        if (!s.error.Failed() && s.endFound && s.window.Converting) {
            s.error.Note(s.drain.Commit(), FileRole::Drain, s.window.DrainFileName);
        } else {
            s.drain.Discard();
        }
    }
    s.window.StopAnimation();
}

void Report(DecodeState& s) {
    if (!s.window.Converting) {
        return;
    }
    if (!s.error.Failed() && s.endFound) {
        s.window.ReportSuccess("groups resolved in file");
        return;
    }
    s.window.Outcome = ConversionOutcome::Failed;
    if (s.startFound && s.endFound) {
        s.window.ReportFileError(FileProblem::ConvertError);
        return;
    }
    s.window.host().PlaySound(Sound::Hand);
    s.window.host().ShowMessage(
        MessageKind::Plain, Buttons::Ok,
        s.startFound ? "End sequence ///// not found!" : "Start sequence ///// not found!",
        "Error");
}

}  // namespace

void ConversionSession::DecodeGroups() {
    DecodeState s(*this);
    OpenFiles(s);
    ScanText(s);
    CloseFiles(s);
    Report(s);
}

}  // namespace velkor
