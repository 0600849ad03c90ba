#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "CipherTransform.h"
#include "CompileJob.h"
#include "KeyMaterial.h"
#include "LiteralModel.h"

namespace velkor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t count) {
    std::mt19937 random(1);
    Bytes bytes(count);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

void PrepareState(JobState& state, bool swift) {
    const std::string key = "benchmark key of some length";
    state.Swift = swift;
    state.PassKeyLength = static_cast<int>(key.size());
    std::copy(key.begin(), key.end(), state.PassKey.begin());
    state.PassKeyExtension = 'x';
    ExpandPassKey(state);
    PreparePassTables(state);
}

// The transform alone, in memory: range(0) encrypts, range(1) is swift mode.
void BM_Transform(benchmark::State& bench) {
    const bool encrypt = bench.range(0) != 0;
    const Bytes input = RandomBytes(1 << 20);
    Bytes output(input.size());
    JobState state;
    PrepareState(state, bench.range(1) != 0);
    CipherTransform transform(state);
    const bool running = true;
    for (auto _ : bench) {
        if (encrypt) {
            transform.Encrypt(input.data(), output.data(), input.size(), running);
        } else {
            transform.Decrypt(input.data(), output.data(), input.size(), running);
        }
        benchmark::DoNotOptimize(output.data());
    }
    bench.SetBytesProcessed(bench.iterations() * static_cast<std::int64_t>(input.size()));
}
BENCHMARK(BM_Transform)->ArgsProduct({{1, 0}, {1, 0}})->ArgNames({"encrypt", "swift"});

void BM_LiteralEncrypt(benchmark::State& bench) {
    const bool swift = bench.range(0) != 0;
    const Bytes input = RandomBytes(4096);
    literal::State state = literal::PreparedPass({'b', 'e', 'n', 'c', 'h', '!', '!'}, 'x', swift);
    for (auto _ : bench) {
        int last = 0;
        for (const auto x : input) {
            last ^= literal::EncryptStep(state, x);
        }
        benchmark::DoNotOptimize(last);
    }
    bench.SetBytesProcessed(bench.iterations() * static_cast<std::int64_t>(input.size()));
}
BENCHMARK(BM_LiteralEncrypt)->Arg(1)->Arg(0)->ArgName("swift");

void BM_KeyPreparation(benchmark::State& bench) {
    const bool swift = bench.range(0) != 0;
    const Bytes block = RandomBytes(256);
    for (auto _ : bench) {
        JobState state;
        state.Swift = swift;
        state.PassKeyLength = 256;
        std::copy(block.begin(), block.end(), state.PassKey.begin());
        ExpandPassKey(state);
        PreparePassTables(state);
        benchmark::DoNotOptimize(state.MaskedKeyReversed.data());
    }
}
BENCHMARK(BM_KeyPreparation)->Arg(1)->Arg(0)->ArgName("swift")->Unit(benchmark::kMicrosecond);

void BM_LiteralKeyPreparation(benchmark::State& bench) {
    const bool swift = bench.range(0) != 0;
    const Bytes block = RandomBytes(256);
    for (auto _ : bench) {
        literal::State state = literal::PreparedPass(block, 0, swift);
        benchmark::DoNotOptimize(state.MaskedKeyReversed.data());
    }
}
BENCHMARK(BM_LiteralKeyPreparation)
    ->Arg(1)
    ->Arg(0)
    ->ArgName("swift")
    ->Unit(benchmark::kMicrosecond);

// A whole job through the files, as velkor32-cli runs it: encrypt, then decrypt
// a 256 MiB file. Peak memory is the process's high-water mark.
class QuietHost : public Host {
  public:
    Answer ShowMessage(MessageKind, Buttons buttons, const std::string&,
                       const std::string&) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    void PlaySound(Sound) override {}
    void ProcessPendingMessages() override {}
    bool Terminating() override { return false; }
    void ShellOpenFile(const std::string&, const std::string&) override {}
};

void BM_FileJob(benchmark::State& bench) {
    const bool encrypt = bench.range(0) != 0;
    const std::string folder = (std::filesystem::temp_directory_path() / "velkor-bench/").string();
    std::filesystem::create_directories(folder);
    const std::size_t size = std::size_t{256} << 20;
    if (!std::filesystem::exists(folder + "plain") ||
        std::filesystem::file_size(folder + "plain") != size) {
        std::ofstream out(folder + "plain", std::ios::binary);
        const Bytes chunk = RandomBytes(1 << 20);
        for (std::size_t i = 0; i < size; i += chunk.size()) {
            out.write(reinterpret_cast<const char*>(chunk.data()),
                      static_cast<std::streamsize>(chunk.size()));
        }
    }
    CompileSettings settings;
    settings.Key = "benchmark key";
    settings.EncryptMode = true;
    settings.SourceFileName = folder + "plain";
    settings.DrainFileName = folder + "cipher";
    settings.DefaultDirectory = folder;
    QuietHost host;
    CompilerWindow window(host);
    if (!encrypt) {
        window.CompilePending = true;
        CompileJob(window, settings, JobServices{FileSystem::Native(), {}});
        settings.EncryptMode = false;
        settings.SourceFileName = folder + "cipher";
        settings.DrainFileName = folder + "back";
    }
    for (auto _ : bench) {
        window.CompilePending = true;
        CompileJob(window, settings, JobServices{FileSystem::Native(), {}});
    }
    bench.SetBytesProcessed(bench.iterations() * static_cast<std::int64_t>(size));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    bench.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_FileJob)
    ->Arg(1)
    ->Arg(0)
    ->ArgName("encrypt")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

}  // namespace
}  // namespace velkor
