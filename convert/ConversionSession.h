#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "FileMessages.h"
#include "FileSystem.h"
#include "Host.h"
#include "JobProgress.h"
#include "MessagePump.h"

namespace velkor {

// How the last conversion ended, for front ends that report it without a screen.
enum class ConversionOutcome { None, Succeeded, Failed, Aborted };

// The conversion window as the group converter sees it: its two flags, its
// progress bar, its modal result and the routines that run one conversion.
// The Qt window derives from it and supplies the visible parts; the
// command-line tool and the tests use it without a screen.
//
// A window on screen lets Abort and its close box only set ModalResult (the
// running conversion sees it at its next check), calls Start from the idle
// handler while ConvertPending is set, closes once Start has returned with a
// non-zero ModalResult, and calls OnCloseQuery whenever it closes.
class ConversionSession {
  public:
    // Modal results of the window.
    static constexpr int kNoResult = 0;
    static constexpr int kModalOk = 1;
    static constexpr int kModalCancel = 2;  // the close box
    static constexpr int kModalAbort = 3;   // the Abort button

    ConversionSession(Host& host, FileSystem& fileSystem) : host_(host), fileSystem_(fileSystem) {}

    // How much work may pass between two rounds of the message loop.
    std::chrono::nanoseconds messageInterval = MessagePump::kDefaultInterval;
    virtual ~ConversionSession() = default;
    ConversionSession(const ConversionSession&) = delete;
    ConversionSession& operator=(const ConversionSession&) = delete;

    Host& host() { return host_; }
    FileSystem& fileSystem() { return fileSystem_; }

    void OnCreate() { ConvertPending = false; }
    void OnShow() { AnimationRunning(true); }
    // Runs one whole conversion of SourceFileName into DrainFileName. Sets the
    // modal result to kModalOk unless the user or the application ending
    // stopped it; the window closes afterwards either way.
    void Start();
    // The window is about to close; reports an abort. Closing is always allowed.
    void OnCloseQuery(bool& canClose);

    // What the modal loop does with the shown window when no user is there:
    // Start at the first idle moment, then close.
    void RunWithoutScreen();

    // Advances the progress bar by count bytes, never past its maximum.
    void AdvanceProgress(std::int64_t count);
    // True when the source is group text to decode, false when it is to be
    // encoded. Refuses an empty or unreadable source by clearing Converting.
    bool DetectGroupText();
    void EncodeGroups();
    void DecodeGroups();

    // True while a conversion runs and may go on.
    bool Converting = false;
    // True from the conversion request until Start takes it up.
    bool ConvertPending = false;
    // Non-zero once the window is to close: Abort, the close box, or Start done.
    int ModalResult = kNoResult;
    JobProgress ProgressBar;
    // Full names of the source and drain, as chosen in the main window's dialogs.
    std::string SourceFileName;
    std::string DrainFileName;
    ConversionOutcome Outcome = ConversionOutcome::None;

    // Shared by the routines of a conversion.
    // True once the user or the application ending asks to stop.
    StopReason StopRequest();
    void StopAnimation() { AnimationRunning(false); }
    // The question that ends a successful conversion, with the offer to open the drain.
    void ReportSuccess(const std::string& verb);
    // An error box naming the source: "File:", its name without folder, the error.
    void ReportFileError(FileProblem problem);

  protected:
    virtual void AnimationRunning(bool /*running*/) {}
    virtual void ProgressChanged() {}
    [[nodiscard]] virtual bool Visible() const { return true; }

  private:
    Host& host_;
    FileSystem& fileSystem_;
};

}  // namespace velkor
