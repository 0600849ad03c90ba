#include <array>
#include <cstdint>
#include <span>

#include "ConversionSession.h"
#include "GroupText.h"
#include "PrivateFile.h"

namespace velkor {
namespace {

struct ByteCounts {
    std::int64_t spaces = 0;
    std::int64_t slashes = 0;
    std::int64_t digits = 0;
    std::int64_t letters = 0;
    std::int64_t others = 0;
};

ByteCounts Classify(std::span<const unsigned char> bytes) {
    ByteCounts counts;
    for (const unsigned char byte : bytes) {
        const unsigned char c = groups::UpperCase(byte);
        if (c == ' ') {
            ++counts.spaces;
        } else if (c == groups::kSlash) {
            ++counts.slashes;
        } else if (groups::IsDigit(c)) {
            ++counts.digits;
        } else if (groups::IsLetter(c)) {
            ++counts.letters;
        } else {
            ++counts.others;
        }
    }
    return counts;
}

// Group text is mostly symbols and spaces, with at least its two markers.
bool LooksLikeGroupText(const ByteCounts& counts) {
    return counts.others < counts.digits + counts.letters + counts.spaces && counts.slashes >= 2;
}

}  // namespace

bool ConversionSession::DetectGroupText() {
    ProgressBar.position = 0;
    ProgressChanged();
    FileError error;
    File source;
    // The drain is only tried, never touched: its result comes later.
    PrivateFile drain(fileSystem_);
    error.Note(fileSystem_.OpenRead(SourceFileName, source), FileRole::Source, SourceFileName);
    error.Note(drain.CreateResultFor(DrainFileName), FileRole::Drain, DrainFileName);
    bool decode = false;
    std::int64_t size = 0;
    if (!error.Failed() &&
        error.Note(fileSystem_.Size(source, size), FileRole::Source, SourceFileName)) {
        if (size == 0) {
            StopAnimation();
            ReportFileError(FileProblem::Empty);
            Converting = false;
        } else {
            ProgressBar.maximum = size;
            ProgressChanged();
            std::array<unsigned char, groups::kBlockSize> head{};
            std::size_t done = 0;
            error.Note(fileSystem_.Read(source, head.data(), head.size(), done), FileRole::Source,
                       SourceFileName);
            decode = LooksLikeGroupText(Classify(std::span(head.data(), done)));
        }
    }
    if (source.IsOpen()) {
        error.Note(fileSystem_.Close(source), FileRole::Source, SourceFileName);
    }
    if (error.Failed()) {
        StopAnimation();
        ReportFileError(FileProblem::ReadWriteError);
        Converting = false;
    }
    return decode;
}

}  // namespace velkor
