#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "ConvertWindow.h"
#include "Host.h"

namespace {

class SilentHost : public velkor::Host {
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

std::string BenchPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("velkor-groups-bench-" + name)).string();
}

// Random bytes written in pieces, so that making the file does not raise the peak memory.
std::string RandomFile(std::int64_t size) {
    std::string name = BenchPath(std::to_string(size) + ".bin");
    if (std::filesystem::exists(name) &&
        std::filesystem::file_size(name) == static_cast<std::uintmax_t>(size)) {
        return name;
    }
    std::mt19937_64 random(7);
    std::vector<char> piece(1 << 20);
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    for (std::int64_t written = 0; written < size;) {
        std::generate(piece.begin(), piece.end(), [&] { return static_cast<char>(random()); });
        const auto part = std::min<std::int64_t>(size - written, std::ssize(piece));
        out.write(piece.data(), part);
        written += part;
    }
    return name;
}

void Convert(const std::string& source, const std::string& drain, bool decode) {
    SilentHost host;
    velkor::ConvertWindow window(host);
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
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_KiB"] = static_cast<double>(usage.ru_maxrss);
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

BENCHMARK(BM_EncodeGroups)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeGroups)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
