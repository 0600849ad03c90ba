#pragma once

#include <QDialog>

namespace velkor {

class VelkorWindows;

// The progress window of a group conversion.
class TVelkorConvertAppForm : public QDialog {
    Q_OBJECT

  public:
    explicit TVelkorConvertAppForm(VelkorWindows& app);

    void FormCreate();
    // Runs a requested conversion; called at an idle moment.
    void Start();

    bool ConvertPending = false;
    bool Converting = false;

  private:
    VelkorWindows& app_;
};

}  // namespace velkor
