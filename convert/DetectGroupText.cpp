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
    std::int64_t errorSum = 0;
    File source;
    // The drain is only tried, never touched: its result comes later.
    PrivateFile drain(fileSystem_);
    errorSum += fileSystem_.OpenRead(SourceFileName, source);
    errorSum += drain.CreateResultFor(DrainFileName);
    bool decode = false;
    if (errorSum == 0) {
        std::int64_t size = 0;
        errorSum += fileSystem_.Size(source, size);
        if (errorSum == 0 && size == 0) {
            StopAnimation();
            ReportFileError("is empty!");
            Converting = false;
        } else if (errorSum == 0) {
            ProgressBar.maximum = size;
            ProgressChanged();
            std::array<unsigned char, groups::kBlockSize> head{};
            std::size_t done = 0;
            errorSum += fileSystem_.Read(source, head.data(), head.size(), done);
            decode = LooksLikeGroupText(Classify(std::span(head.data(), done)));
        }
    }
    if (source.IsOpen()) {
        errorSum += fileSystem_.Close(source);
    }
    if (errorSum != 0) {
        StopAnimation();
        ReportFileError("read / write error!");
        Converting = false;
    }
    return decode;
}

}  // namespace velkor
