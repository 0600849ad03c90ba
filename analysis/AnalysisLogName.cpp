#include "AnalysisLogName.h"

#include "FileSystem.h"

namespace velkor {

std::string AnalysisLogNameFor(const std::string& sourcePath) {
    const std::string name = FileNamePart(sourcePath);
    const auto dot = name.find('.');
    const std::string stem = dot == std::string::npos ? std::string() : name.substr(0, dot);
    return FolderPart(sourcePath) + "!" + stem + "!" + ".txt";
}

}  // namespace velkor
