#pragma once

#include <string>

#include "FileError.h"

namespace velkor {

// What a message says of a file after its name.
enum class FileProblem {
    ReadError,
    WriteError,
    CreateError,
    ConvertError,    // a conversion failed on either of its files
    ReadWriteError,  // the files of a conversion could not be opened
    Empty,
    KeyMismatch,
    AlreadyExists,  // the overwrite question
};

// "File:", the name and the problem, one to a line: every message about one
// file is made here.
std::string FileMessage(const std::string& name, FileProblem problem);
// The message of a failed file operation, worded by the file's role.
std::string FileErrorMessage(const FileError& error);
// The refusal of a file that is another one of the same job.
std::string FileConflictMessage(const std::string& name);

}  // namespace velkor
