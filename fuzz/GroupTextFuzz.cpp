// Group text detection and decoding of arbitrary bytes: no crash, no hang,
// and a drain only when both markers were found.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ConversionSession.h"
#include "MemoryFileSystem.h"
#include "ScriptedHost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velkor::fuzzing::MemoryFileSystem files;
    files.files["in"].assign(reinterpret_cast<const char*>(data), size);
    velkor::testing::ScriptedHost host;
    velkor::ConversionSession session(host, files);
    session.SourceFileName = "in";
    session.DrainFileName = "out";
    session.Converting = true;
    if (size > 0) {
        session.DetectGroupText();
    }
    session.Converting = true;
    session.DecodeGroups();
    const bool succeeded = session.Outcome != velkor::ConversionOutcome::Failed &&
                           host.MessageTexts().size() == 1 &&
                           host.MessageTexts()[0].find("groups resolved") != std::string::npos;
    if (!succeeded && files.files.count("out") != 0) {
        std::abort();  // a failed decoding must leave no drain
    }
    if (files.files.size() > 2) {
        std::abort();  // nothing else may stay behind
    }
    return 0;
}
