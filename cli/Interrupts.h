#pragma once

namespace velkor::cli {

// SIGINT, SIGTERM and SIGHUP only note themselves: the running job sees the
// note through its host and stops the way Close does, so that its temporary
// files go. SIGPIPE is ignored, so a closed pipe is a write error (EPIPE).
// Blocking reads are not restarted after these signals.
void CatchInterrupts();

// Waits until the descriptor has input (or its end, or an error) and gives
// true, or gives false once an interrupt signal has come: also one that came
// just before the wait.
bool WaitForInput(int fd);

// The signal that asked the tool to stop, or 0.
int InterruptSignal();

// Says "velkor32-cli: interrupted" and gives the exit status for the signal.
int ReportInterrupted();

}  // namespace velkor::cli
