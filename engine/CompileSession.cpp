#include "CompileSession.h"

namespace velkor {

void CompileSession::StopWorking(Sound sound) {
    BusyCursors(false);
    Compiling = false;
    AnimationRunning(false);
    host_.PlaySound(sound);
}

void CompileSession::Exit() {
    AnimationRunning(false);
    if (Compiling) {
        Compiling = false;
        return;
    }
    CloseWindow();
}

void CompileSession::CloseQuery(bool& canClose) {
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

StopReason CompileSession::StopRequest() {
    const StopReason ending = host_.StopRequest();
    if (ending != StopReason::None) {
        return ending;
    }
    return CloseRequested() ? StopReason::Closed : StopReason::None;
}

void CompileSession::SetProgressRange(std::int64_t maximum, std::int64_t step) {
    Progress.maximum = maximum;
    Progress.step = step;
    ProgressChanged();
}

void CompileSession::SetProgressPosition(std::int64_t position) {
    Progress.position = position;
    ProgressChanged();
}

}  // namespace velkor
