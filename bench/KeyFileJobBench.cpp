#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchSupport.h"
#include "CompileJob.h"

namespace velkor {
namespace {

// A whole encryption with a key file of range(0) - 1 blocks, so range(0)
// passes, chained in memory: one read of the source, one write of the result.
void BM_KeyFileJob(benchmark::State& bench) {
    const auto passes = static_cast<std::size_t>(bench.range(0));
    const std::int64_t size = std::int64_t{64} << 20;
    const std::string plain = velkor::bench::RandomFile("velkor-keyfile-bench-plain", size);
    const std::string folder = FolderPart(plain);
    const std::string keyFile = folder + "velkor-keyfile-bench-key";
    {
        const auto bytes = velkor::bench::RandomBytes((passes - 1) * 256, 3);
        std::FILE* out = std::fopen(keyFile.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    CompileSettings settings;
    const std::string key = "benchmark key";
    settings.Key.assign(key.begin(), key.end());
    settings.EncryptMode = true;
    settings.KeyFileName = passes > 1 ? keyFile : std::string();
    settings.SourceFileName = plain;
    settings.DrainFileName = folder + "velkor-keyfile-bench-cipher";
    velkor::bench::QuietHost host;
    CompileSession session(host);
    for (auto _ : bench) {
        session.CompilePending = true;
        CompileJob(session, settings, JobServices{FileSystem::Native(), {}});
    }
    bench.SetBytesProcessed(bench.iterations() * size);
    bench.counters["peak_MiB"] = static_cast<double>(velkor::bench::PeakResidentKiB()) / 1024.0;
    std::filesystem::remove(settings.DrainFileName);
    std::filesystem::remove(keyFile);
}
BENCHMARK(BM_KeyFileJob)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velkor
