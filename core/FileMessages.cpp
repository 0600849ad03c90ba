#include "FileMessages.h"

namespace velkor {

namespace {

const char* ProblemText(FileProblem problem) {
    switch (problem) {
        case FileProblem::ReadError:
            return "read error!";
        case FileProblem::WriteError:
            return "write error!";
        case FileProblem::CreateError:
            return "create error!";
        case FileProblem::ConvertError:
            return "convert error!";
        case FileProblem::ReadWriteError:
            return "read / write error!";
        case FileProblem::Empty:
            return "is empty!";
        case FileProblem::KeyMismatch:
            return "key does not match!";
        case FileProblem::AlreadyExists:
            return "already exists. Overwrite?";
    }
    return "";
}

FileProblem ProblemOf(FileRole role) {
    switch (role) {
        case FileRole::Source:
        case FileRole::KeyFile:
            return FileProblem::ReadError;
        case FileRole::Drain:
            return FileProblem::WriteError;
        case FileRole::WorkFile:
            return FileProblem::CreateError;
    }
    return FileProblem::ReadError;
}

}  // namespace

std::string FileMessage(const std::string& name, FileProblem problem) {
    return "File:\r" + name + "\r" + ProblemText(problem);
}

std::string FileErrorMessage(const FileError& error) {
    return FileMessage(error.name, ProblemOf(error.role));
}

std::string FileConflictMessage(const std::string& name) {
    return "File conflict:\r" + name;
}

}  // namespace velkor
