#include "VelkorConvert.h"

#include "VelkorWindows.h"

namespace velkor {

TVelkorConvertAppForm::TVelkorConvertAppForm(VelkorWindows& app) : QDialog(nullptr), app_(app) {
    setObjectName(QStringLiteral("VelkorConvertAppForm"));
    setWindowTitle(QStringLiteral("Velkor32"));
    FormCreate();
}

void TVelkorConvertAppForm::FormCreate() {
    ConvertPending = false;
    Converting = false;
    app_.creationLog.emplace_back("TVelkorConvertAppForm");
}

void TVelkorConvertAppForm::Start() {
    // The conversion itself takes over from here.
    ConvertPending = false;
}

}  // namespace velkor
