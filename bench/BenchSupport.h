#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Host.h"

namespace velkor::bench {

// A host that shows nothing: OK boxes are confirmed, questions answered No.
class QuietHost : public Host {
  public:
    Answer ShowMessage(MessageKind /*kind*/, Buttons buttons, const std::string& /*text*/,
                       const std::string& /*caption*/) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    void PlaySound(Sound /*sound*/) override {}
    void ProcessPendingMessages() override { benchmark::ClobberMemory(); }
    StopReason StopRequest() override { return StopReason::None; }
    void ShellOpenFile(const std::string& /*fileName*/, const std::string& /*directory*/) override {
    }
};

std::vector<std::uint8_t> RandomBytes(std::size_t count, unsigned seed = 1);

// A file of random bytes in the temporary folder, written in pieces so that
// making it does not raise the peak memory; kept when it already has the size.
std::string RandomFile(const std::string& name, std::int64_t size);

// The process's high-water mark of resident memory.
long PeakResidentKiB();

}  // namespace velkor::bench
