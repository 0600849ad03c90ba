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
    ProgressBar.maximum = maximum;
    ProgressBar.step = step;
    ProgressChanged();
}

void CompilerWindow::SetProgressPosition(std::int64_t position) {
    ProgressBar.position = position;
    ProgressChanged();
}

void CompilerWindow::AdvanceKeyFileProgress() {
    if (ProgressBar.position > ProgressBar.maximum - 256) {
        ProgressBar.position = ProgressBar.maximum;
    } else {
        ProgressBar.position += ProgressBar.step;
    }
    ProgressChanged();
}

}  // namespace velkor
