#include "TextFileWriter.h"

#include <cerrno>

namespace velkor {

TextFileWriter::TextFileWriter(FileSystem& fileSystem, File& file)
    : fileSystem_(fileSystem), file_(file) {
    buffer_.reserve(kBufferSize);
}

IoResult TextFileWriter::WriteLine(std::string_view line) {
    if (result_ != 0) {
        return result_;
    }
    buffer_ += line;
    buffer_ += "\r\n";
    return buffer_.size() >= kBufferSize ? Flush() : result_;
}

IoResult TextFileWriter::Flush() {
    if (result_ == 0 && !buffer_.empty()) {
        std::size_t done = 0;
        result_ = fileSystem_.Write(file_, buffer_.data(), buffer_.size(), done);
        if (result_ == 0 && done != buffer_.size()) {
            result_ = EIO;
        }
        buffer_.clear();
    }
    return result_;
}

}  // namespace velkor
