#include "ConversionSession.h"

namespace velkor {

void ConversionSession::Start() {
    ConvertPending = false;
    Converting = true;
    Outcome = ConversionOutcome::None;
    AnimationRunning(true);
    const bool decode = DetectGroupText();
    if (Converting) {
        if (decode) {
            DecodeGroups();
        } else {
            EncodeGroups();
        }
        if (!Converting) {
            Outcome = ConversionOutcome::Aborted;
            return;
        }
    } else {
        Outcome = ConversionOutcome::Failed;
    }
    ModalResult = kModalOk;
}

void ConversionSession::OnCloseQuery(bool& canClose) {
    AnimationRunning(false);
    if (ModalResult != kModalOk && Visible()) {
        host_.PlaySound(Sound::Hand);
        host_.ShowMessage(MessageKind::Error, Buttons::Ok,
                          "File conversion halted due to user abortion!");
    }
    canClose = true;
}

void ConversionSession::RunWithoutScreen() {
    OnShow();
    if (ConvertPending) {
        Start();
    }
    bool canClose = false;
    OnCloseQuery(canClose);
}

StopReason ConversionSession::StopRequest() {
    switch (ModalResult) {
        case kNoResult:
            return host_.StopRequest();
        case kModalAbort:
            return StopReason::Aborted;
        default:
            return StopReason::Closed;
    }
}

void ConversionSession::AdvanceProgress(std::int64_t count) {
    ProgressBar.step = count;
    if (ProgressBar.position > ProgressBar.maximum - count) {
        ProgressBar.position = ProgressBar.maximum;
    } else {
        ProgressBar.position += ProgressBar.step;
    }
    ProgressChanged();
}

void ConversionSession::ReportSuccess(const std::string& verb) {
    Outcome = ConversionOutcome::Succeeded;
    host_.PlaySound(Sound::Question);
    const Answer answer = host_.ShowMessage(MessageKind::Confirmation, Buttons::YesNo,
                                            SourceFileName + "\r" + verb + "\r" + DrainFileName +
                                                "\r" + "\r" + "Open " + DrainFileName + "?");
    if (answer == Answer::Yes) {
        host_.ShellOpenFile(FileNamePart(DrainFileName), FolderPart(DrainFileName));
    }
}

void ConversionSession::ReportFileError(FileProblem problem) {
    host_.PlaySound(Sound::Hand);
    host_.ShowMessage(MessageKind::Error, Buttons::Ok,
                      FileMessage(FileNamePart(SourceFileName), problem));
}

}  // namespace velkor
