#pragma once

#include <string>

#include "FileSystem.h"

namespace velkor {

// The part a file plays in a piece of work; a failure's message follows from it.
enum class FileRole {
    Source,    // read: the file worked on, or a work file read back as a group's input
    KeyFile,   // read
    Drain,     // written: a job's result, a conversion's drain, an analysis log
    WorkFile,  // created to spool between groups of passes
};

// The first failed file operation of a piece of work: what the system said and
// which file it concerned. What fails after it follows from it, so it is kept.
struct FileError {
    IoResult number = 0;  // errno
    FileRole role = FileRole::Source;
    std::string name;  // as the messages show it

    bool Failed() const { return number != 0; }
    // Keeps the failure unless one is kept already; true when `result` is a success.
    bool Note(IoResult result, FileRole failedRole, const std::string& fileName) {
        if (result != 0 && number == 0) {
            number = result;
            role = failedRole;
            name = fileName;
        }
        return result == 0;
    }
};

// Where a buffered reader or writer notes its failure, and as which file.
struct FailureNote {
    FileError& error;
    FileRole role;
    std::string name;

    bool Note(IoResult result) { return error.Note(result, role, name); }
};

}  // namespace velkor
