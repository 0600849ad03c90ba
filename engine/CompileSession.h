#pragma once

#include <cstdint>
#include <string>

#include "Host.h"
#include "JobProgress.h"

namespace velkor {

// The progress window of a compile job as the engine sees it: its three flags,
// its progress bar and the handlers through which a job ends or is stopped.
// The Qt window derives from it and supplies the visible parts; the
// command-line tool and the tests use it without a screen.
class CompileSession {
  public:
    explicit CompileSession(Host& host) : host_(host) {}
    virtual ~CompileSession() = default;
    CompileSession(const CompileSession&) = delete;
    CompileSession& operator=(const CompileSession&) = delete;

    Host& host() { return host_; }

    // Ends the visible work state: arrow cursors, Compiling off, animation
    // stopped, then the given sound.
    void StopWorking(Sound sound);
    // The Close button: stops a running job, or closes the idle window.
    void Exit();
    // The window is about to close, however that was asked for.
    void CloseQuery(bool& canClose);

    void StartAnimation() { AnimationRunning(true); }
    void SetProgressRange(std::int64_t maximum, std::int64_t step);
    void SetProgressPosition(std::int64_t position);

    // True once a request to close the window has been made (its modal result).
    virtual bool CloseRequested() const { return false; }
    // The program's ending first, then the window's Close.
    StopReason StopRequest();

    bool CompilePending = false;
    bool Compiling = false;
    bool CompileAborted = false;
    JobProgress Progress;
    // Name of the last work file; the next job starts its search from it.
    std::string WorkFileName = "VELKOR.VLK";

  protected:
    virtual void BusyCursors(bool /*busy*/) {}
    virtual void AnimationRunning(bool /*running*/) {}
    virtual void CloseWindow() {}
    virtual void ProgressChanged() {}

  private:
    Host& host_;
};

}  // namespace velkor
