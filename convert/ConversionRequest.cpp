#include "ConversionRequest.h"

namespace velkor {

bool RequestConversion(ConversionSession& window, const std::string& source,
                       const std::string& drain) {
    if (source == drain || window.fileSystem().SameFile(source, drain)) {
        window.host().PlaySound(Sound::Hand);
        window.host().ShowMessage(MessageKind::Error, Buttons::Ok,
                                  "Duplicated file names:\r\rSource: " + FileNamePart(source) +
                                      "\r" + "Drain: " + FileNamePart(drain) + "\r");
        return false;
    }
    window.SourceFileName = source;
    window.DrainFileName = drain;
    window.ModalResult = ConversionSession::kNoResult;
    window.ConvertPending = true;
    return true;
}

}  // namespace velkor
