#include "AnalysisLogName.h"

#include "FileSystem.h"

namespace velkor {

std::string AnalysisLogNameFor(const std::string& sourcePath) {
    const std::string name = FileNamePart(sourcePath);
    return FolderPart(sourcePath) + "!" + name.substr(0, name.find('.')) + "!" + ".txt";
}

}  // namespace velkor
