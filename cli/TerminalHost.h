#pragma once

#include <cstdio>
#include <string>

#include "Host.h"

namespace velkor::cli {

// The host of the command-line tool: messages go to a stream (standard error),
// one line per "\r"; sounds are dropped; every question is answered No, so
// nothing is opened or overwritten that the user did not ask for; nothing is
// waiting to be processed, and the tool never ends under a running command.
class TerminalHost : public Host {
  public:
    explicit TerminalHost(std::FILE* stream = stderr) : stream_(stream) {}

    Answer ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                       const std::string& caption) override;
    void PlaySound(Sound /*sound*/) override {}
    void ProcessPendingMessages() override {}
    bool Terminating() override { return false; }
    void ShellOpenFile(const std::string& /*fileName*/, const std::string& /*directory*/) override {
    }

  private:
    std::FILE* stream_;
};

}  // namespace velkor::cli
