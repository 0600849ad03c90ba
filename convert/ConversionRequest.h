#pragma once

#include <string>

#include "ConversionSession.h"

namespace velkor {

// The main window's Groups command between its two dialogs and the conversion
// window. The drain is emptied before the source is read, so one file under
// two names (the same name, a link, a relative and an absolute path) is
// refused with "Duplicated file names:". Otherwise both names go to the
// window, which is marked as having work. True when the window is to be shown.
bool RequestConversion(ConversionSession& window, const std::string& source,
                       const std::string& drain);

}  // namespace velkor
