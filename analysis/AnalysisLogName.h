#pragma once

#include <string>

namespace velkor {

// The log beside an analysed file: "!" + its name up to the first "." + "!.txt",
// so "letter.doc" gives "!letter!.txt"; a name without a "." gives "!!.txt".
std::string AnalysisLogNameFor(const std::string& sourcePath);

}  // namespace velkor
