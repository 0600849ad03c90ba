#pragma once

#include <csignal>

namespace velkor {

// While one lives, the threads the caller starts take no asynchronous signal
// (an interrupt, a terminate, a hang-up and the like); faults stay as they
// are. A signal sent to the process then goes to a thread that waits for it,
// such as velkor32-cli's reading thread waiting for more input, and not to a
// helper that would note it while the waiting goes on.
class HelperThreadSignals {
  public:
    HelperThreadSignals();
    ~HelperThreadSignals();
    HelperThreadSignals(const HelperThreadSignals&) = delete;
    HelperThreadSignals& operator=(const HelperThreadSignals&) = delete;

  private:
    sigset_t previous_{};
};

}  // namespace velkor
