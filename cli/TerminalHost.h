#pragma once

#include <cstdint>
#include <string>

#include "Host.h"
#include "ProgressLine.h"

namespace velkor::cli {

// The host of every command of the tool. Messages go to standard error (or,
// for a job of a batch, into a text the batch prints with its status line),
// one line per "\r"; sounds are dropped. Nobody is there to answer: every
// question is answered No, and of the offer that follows a result ("Open
// ...?", "Show results?") only the result is said. A caught interrupt signal
// is the application terminating.
class TerminalHost : public Host {
  public:
    struct Options {
        // A progress line on standard error (only ever when that is a terminal).
        bool progress = false;
        // Say the result of a finished job (where the output is).
        bool reportResult = true;
        // Collect the messages here instead of printing them.
        std::string* collected = nullptr;
    };

    explicit TerminalHost(Options options);

    Answer ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                       const std::string& caption) override;
    void PlaySound(Sound /*sound*/) override {}
    void ProcessPendingMessages() override;
    StopReason StopRequest() override;
    void ShellOpenFile(const std::string& /*fileName*/, const std::string& /*directory*/) override {
    }

    // Progress of work that counts its bytes itself: `done` is read whenever
    // messages are let through. A total of 0 is unknown.
    void FollowProgress(const std::int64_t* done, std::int64_t total);
    void ShowProgress(std::int64_t done, std::int64_t total) { progress_.Show(done, total); }
    void ClearProgress() { progress_.Clear(); }

    // A line of the tool's own, where the job's messages go.
    void Report(const std::string& line) { Say(line); }

    // A warning or an error was shown.
    bool Failed() const { return failed_; }
    // A job's result was reported.
    bool Succeeded() const { return succeeded_; }

  private:
    void Say(const std::string& text);

    Options options_;
    ProgressLine progress_;
    const std::int64_t* done_ = nullptr;
    std::int64_t total_ = 0;
    bool failed_ = false;
    bool succeeded_ = false;
};

}  // namespace velkor::cli
