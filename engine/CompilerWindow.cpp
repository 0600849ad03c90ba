#include "CompilerWindow.h"

namespace velkor {

void CompilerWindow::StopWorking(Sound sound) {
    BusyCursors(false);
    Compiling = false;
    AnimationRunning(false);
    host_.PlaySound(sound);
}

void CompilerWindow::Exit() {
    AnimationRunning(false);
    if (Compiling) {
        Compiling = false;
        return;
    }
    CloseWindow();
}

void CompilerWindow::CloseQuery(bool& canClose) {
    canClose = false;
    AnimationRunning(false);
    if (Compiling) {
        Compiling = false;
        CompileAborted = true;
        host_.PlaySound(Sound::Exclamation);
        host_.ShowMessage(MessageKind::Error, Buttons::Ok,
                          "Velkor32 Compiler interruption!\r\rOperation not complete.\r");
    }
    BusyCursors(true);
    Compiling = false;
    canClose = true;
}

void CompilerWindow::SetProgressRange(std::int64_t maximum, std::int64_t step) {
    Progress.maximum = maximum;
    Progress.step = step;
    ProgressChanged();
}

void CompilerWindow::SetProgressPosition(std::int64_t position) {
    Progress.position = position;
    ProgressChanged();
}

void CompilerWindow::AdvanceKeyFileProgress() {
    if (Progress.position > Progress.maximum - 256) {
        Progress.position = Progress.maximum;
    } else {
        Progress.position += Progress.step;
    }
    ProgressChanged();
}

}  // namespace velkor
