// Decryption of damaged or foreign files, with and without a key file: the
// job ends, reports once, and writes a drain only when it says so.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CompileJob.h"
#include "MemoryFileSystem.h"
#include "ScriptedHost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    velkor::fuzzing::MemoryFileSystem files;
    files.files["in"].assign(reinterpret_cast<const char*>(data + 1), size - 1);
    velkor::CompileSettings settings;
    const std::string key = "FuzzKey7";
    settings.Key.assign(key.begin(), key.end());
    settings.KeyExtension = static_cast<std::uint8_t>(flags & 0x20 ? 'x' : 0);
    settings.Swift = (flags & 1) != 0;
    settings.EncryptMode = (flags & 0x40) != 0;
    if ((flags & 2) != 0) {
        files.files["key"] = std::string(1 + flags % 300, 'k');
        settings.KeyFileName = "key";
    }
    settings.SourceFileName = "in";
    settings.DrainFileName = "out";
    velkor::testing::ScriptedHost host;
    velkor::CompileSession session(host);
    session.CompilePending = true;
    velkor::CompileJob(
        session, settings,
        velkor::JobServices{files, [draw = 0]() mutable { return draw++ & 0xFF; },
                            std::chrono::nanoseconds(0), (flags & 4) != 0 ? 1U : 512U});
    const auto texts = host.MessageTexts();
    if (texts.size() != 1) {
        std::abort();
    }
    const bool reportedSuccess = texts[0].find("compiled to") != std::string::npos;
    if (reportedSuccess != (files.files.count("out") != 0)) {
        std::abort();
    }
    if (files.files.size() > (settings.KeyFileName.empty() ? 2U : 3U)) {
        std::abort();  // no work or result file may stay behind
    }
    return 0;
}
