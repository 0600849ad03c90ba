#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "CommonGroupLine.h"
#include "ConversionSession.h"
#include "Host.h"

namespace {

std::string BenchPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("velkor-groups-bench-" + name)).string();
}

std::string RandomFile(std::int64_t size) {
    return velkor::bench::RandomFile("velkor-groups-bench-" + std::to_string(size) + ".bin", size);
}

void Convert(const std::string& source, const std::string& drain, bool decode) {
    velkor::bench::QuietHost host;
    velkor::ConversionSession window(host, velkor::FileSystem::Native());
    window.SourceFileName = source;
    window.DrainFileName = drain;
    window.Converting = true;
    if (decode) {
        window.DecodeGroups();
    } else {
        window.EncodeGroups();
    }
    if (window.Outcome != velkor::ConversionOutcome::Succeeded) {
        throw std::runtime_error("conversion failed: " + source);
    }
}

void SetCounters(benchmark::State& state, std::int64_t inputBytes) {
    state.SetBytesProcessed(state.iterations() * inputBytes);
    state.counters["peak_rss_KiB"] = static_cast<double>(velkor::bench::PeakResidentKiB());
}

void BM_EncodeGroups(benchmark::State& state) {
    const std::string source = RandomFile(state.range(0));
    const std::string drain = BenchPath("encoded.txt");
    for (auto _ : state) {
        (void)_;
        Convert(source, drain, false);
    }
    SetCounters(state, state.range(0));
    std::filesystem::remove(drain);
}

// Input is the group text of a random file of the given size (about 2.3 times as long).
void BM_DecodeGroups(benchmark::State& state) {
    const std::string text = BenchPath(std::to_string(state.range(0)) + ".txt");
    Convert(RandomFile(state.range(0)), text, false);
    const std::string drain = BenchPath("decoded.bin");
    for (auto _ : state) {
        (void)_;
        Convert(text, drain, true);
    }
    SetCounters(state, static_cast<std::int64_t>(std::filesystem::file_size(text)));
    std::filesystem::remove(drain);
    std::filesystem::remove(text);
}

// Lines of the common form alone, without the files: fifty symbols of random
// bytes a line, as the encoder writes them.
void BM_DecodeCommonLine(benchmark::State& state) {
    const std::string line = "4B1H7 Z9V0A 3C5D2 8E6F1 G2H4I 9J3K0 L5M7N 1O8P6 Q2R4S 0T9U3\r\n";
    std::array<char, 64> out{};
    unsigned range = 0;
    for (auto _ : state) {
        (void)_;
        const auto* text = reinterpret_cast<const unsigned char*>(line.data());
        benchmark::DoNotOptimize(velkor::groups::IsCommonLine(text));
        benchmark::DoNotOptimize(velkor::groups::DecodeCommonLine(text, range, out.data()));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_DecodeCommonLine);

BENCHMARK(BM_EncodeGroups)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeGroups)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
