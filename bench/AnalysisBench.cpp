#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "FileSystem.h"
#include "Host.h"
#include "SymbolAnalysis.h"
#include "SymbolTally.h"

namespace {

class QuietHost : public velkor::Host {
  public:
    velkor::Answer ShowMessage(velkor::MessageKind /*kind*/, velkor::Buttons /*buttons*/,
                               const std::string& /*text*/,
                               const std::string& /*caption*/) override {
        return velkor::Answer::No;
    }
    void PlaySound(velkor::Sound /*sound*/) override {}
    void ProcessPendingMessages() override { benchmark::ClobberMemory(); }
    bool Terminating() override { return false; }
    void ShellOpenFile(const std::string& /*fileName*/, const std::string& /*directory*/) override {
    }
};

std::vector<std::uint8_t> RandomBytes(std::size_t size) {
    std::mt19937_64 random(42);
    std::vector<std::uint8_t> bytes(size);
    std::generate(bytes.begin(), bytes.end(),
                  [&random] { return static_cast<std::uint8_t>(random()); });
    return bytes;
}

// A file of the given size, written once and read back so that it sits in the page cache.
std::string CachedFile(std::int64_t size) {
    std::string name =
        (std::filesystem::temp_directory_path() / ("velkor-bench-" + std::to_string(size) + ".bin"))
            .string();
    if (!std::filesystem::exists(name) ||
        std::filesystem::file_size(name) != static_cast<std::uintmax_t>(size)) {
        const std::vector<std::uint8_t> chunk = RandomBytes(std::size_t{1} << 20);
        std::FILE* out = std::fopen(name.c_str(), "wb");
        for (std::int64_t written = 0; out != nullptr && written < size;) {
            const auto part = static_cast<std::size_t>(
                std::min<std::int64_t>(size - written, static_cast<std::int64_t>(chunk.size())));
            if (std::fwrite(chunk.data(), 1, part, out) != part) {
                break;
            }
            written += static_cast<std::int64_t>(part);
        }
        if (out != nullptr) {
            std::fclose(out);
        }
    }
    return name;
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_SymbolTally(benchmark::State& state) {
    std::vector<std::uint8_t> block = RandomBytes(4096);
    if (state.range(0) == 0) {
        std::fill(block.begin(), block.end(), std::uint8_t{'a'});
    }
    velkor::SymbolTally tally;
    for (auto _ : state) {
        (void)_;
        tally.Add(block.data(), block.size());
        benchmark::DoNotOptimize(tally);
    }
    benchmark::DoNotOptimize(tally.Counts());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(block.size()));
    state.SetLabel(state.range(0) == 0 ? "one value" : "random");
}
BENCHMARK(BM_SymbolTally)->Arg(0)->Arg(1);

// The whole count of a file in the page cache: 4096-byte reads, tally, message calls.
void BM_CountSymbols(benchmark::State& state) {
    const std::string name = CachedFile(state.range(0));
    QuietHost host;
    velkor::SymbolAnalysis analysis(host);
    analysis.ChooseAnalysisFile(name);
    analysis.CountSymbols();
    const long peakBefore = PeakResidentKiB();
    for (auto _ : state) {
        (void)_;
        analysis.ChooseAnalysisFile(name);
        analysis.CountSymbols();
        if (analysis.State().AnalysedSize != static_cast<std::uint64_t>(state.range(0))) {
            state.SkipWithError("count incomplete");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["peak_rss_growth_KiB"] = static_cast<double>(PeakResidentKiB() - peakBefore);
    std::filesystem::remove(name);
}
BENCHMARK(BM_CountSymbols)
    ->Arg(std::int64_t{64} << 20)
    ->Arg(std::int64_t{1} << 30)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
