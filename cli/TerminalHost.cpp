#include "TerminalHost.h"

#include <algorithm>

namespace velkor::cli {

Answer TerminalHost::ShowMessage(MessageKind /*kind*/, Buttons buttons, const std::string& text,
                                 const std::string& /*caption*/) {
    std::string lines = text;
    std::replace(lines.begin(), lines.end(), '\r', '\n');
    std::fprintf(stream_, "%s\n", lines.c_str());
    std::fflush(stream_);
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
}

}  // namespace velkor::cli
