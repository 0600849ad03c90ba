#pragma once

#include <QDialog>

#include "CompilerWindow.h"

namespace velkor {

class VelkorWindows;

// The progress window of a compile job and owner of the application's
// idle-time handler, the one place where deferred work starts.
class TVelkorCompilerAppForm : public QDialog, public CompilerWindow {
    Q_OBJECT

  public:
    static constexpr int kClientWidth = 273;
    static constexpr int kClientHeight = 149;

    explicit TVelkorCompilerAppForm(VelkorWindows& app);
    ~TVelkorCompilerAppForm() override;

    void FormCreate();
    // Runs at every idle moment: the working-directory check while the main
    // window has no default directory, a requested compile job, a requested
    // conversion, in this order.
    void ApplicationIdle();
    void CompileJob();
    // Whether an idle moment would find anything to do.
    bool IdleWorkWaiting() const;

  private:
    void InstallIdleHandler();

    VelkorWindows& app_;
    bool idleQueued_ = false;
    bool inIdle_ = false;
};

}  // namespace velkor
