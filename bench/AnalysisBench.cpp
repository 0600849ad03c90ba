#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "FileSystem.h"
#include "Host.h"
#include "SplitTally.h"
#include "SymbolAnalysis.h"
#include "SymbolTally.h"

namespace {

using velkor::bench::PeakResidentKiB;
using velkor::bench::QuietHost;
using velkor::bench::RandomBytes;

// A file of the given size, written once and read back so that it sits in the page cache.
std::string CachedFile(std::int64_t size) {
    return velkor::bench::RandomFile("velkor-bench-" + std::to_string(size) + ".bin", size);
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

// One 256 KiB block, as the count reads them, shared with the helper thread.
void BM_SplitTally(benchmark::State& state) {
    const std::vector<std::uint8_t> block = RandomBytes(std::size_t{1} << 18);
    velkor::SplitTally tally;
    for (auto _ : state) {
        (void)_;
        tally.Add(block.data(), block.size());
    }
    benchmark::DoNotOptimize(tally.Counts());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(block.size()));
}
BENCHMARK(BM_SplitTally)->UseRealTime();

// The whole count of a file in the page cache: reads, tally, message calls.
void BM_CountSymbols(benchmark::State& state) {
    const std::string name = CachedFile(state.range(0));
    QuietHost host;
    velkor::SymbolAnalysis analysis(host, velkor::FileSystem::Native());
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
