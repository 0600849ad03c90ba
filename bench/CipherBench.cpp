#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchSupport.h"
#include "CipherTransform.h"
#include "CompileJob.h"
#include "KeyMaterial.h"
#include "LiteralModel.h"
#include "PassChain.h"

namespace velkor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t count) {
    return velkor::bench::RandomBytes(count);
}

void PrepareState(JobState& state, const std::string& key, bool swift, bool encrypt) {
    state.Swift = swift;
    state.EncryptMode = encrypt;
    state.PassKeyLength = static_cast<int>(key.size());
    std::copy(key.begin(), key.end(), state.PassKey.begin());
    state.PassKeyExtension = 'x';
    ExpandPassKey(state);
    PreparePassTables(state);
}

// A key whose pass indexes include a lag of 1 in both a long and a short
// table: the most filter stages, the slowest vector path.
std::string LagOneKey(bool swift) {
    for (int n = 0;; ++n) {
        std::string key = "lag one key " + std::to_string(n);
        JobState state;
        PrepareState(state, key, swift, true);
        const CipherTransform transform(state);
        const bool longLagOne = transform.LongIndex1() == 1 || transform.LongIndex2() == 1;
        const bool shortLagOne = transform.ShortIndex1() == 1 || transform.ShortIndex2() == 1;
        if (longLagOne && shortLagOne) {
            return key;
        }
    }
}

// Encrypts or decrypts 1 MiB per iteration with a transform built by `make`.
template <typename Make>
void RunTransform(benchmark::State& bench, bool encrypt, const JobState& state, Make make) {
    const Bytes input = RandomBytes(1 << 20);
    Bytes output(input.size());
    CipherTransform transform = make(state);
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
    bench.counters["state_KiB"] = static_cast<double>(transform.StateBytes()) / 1024.0;
    bench.counters["width"] = transform.VectorBytes();
}

// The transform alone, in memory: range(0) encrypts, range(1) is swift mode,
// range(2) takes a key with lags of 1.
void BM_Transform(benchmark::State& bench) {
    const bool encrypt = bench.range(0) != 0;
    const bool swift = bench.range(1) != 0;
    const std::string key = bench.range(2) != 0 ? LagOneKey(swift) : "benchmark key of some length";
    JobState state;
    PrepareState(state, key, swift, encrypt);
    RunTransform(bench, encrypt, state, [](const JobState& s) { return CipherTransform(s); });
}
BENCHMARK(BM_Transform)
    ->ArgsProduct({{1, 0}, {1, 0}, {0, 1}})
    ->ArgNames({"encrypt", "swift", "lag1"});

// The key bytes alone, range(0) KiB a call; range(1) is swift mode.
void BM_KeyStream(benchmark::State& bench) {
    const auto size = static_cast<std::size_t>(bench.range(0)) << 10;
    JobState state;
    PrepareState(state, "benchmark key of some length", bench.range(1) != 0, true);
    CipherTransform transform(state);
    Bytes keys(size);
    for (auto _ : bench) {
        transform.Keys().Make(keys.data(), size);
        benchmark::DoNotOptimize(keys.data());
    }
    bench.SetBytesProcessed(bench.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_KeyStream)->ArgsProduct({{1, 64, 1024}, {1, 0}})->ArgNames({"KiB", "swift"});

// One pass as a job runs it, in memory: in a PassChain, on the chain's second
// thread, while the caller makes its key bytes ahead. 64 MiB in pieces of
// range(2) KiB (a job's largest is 1 MiB); range(0) encrypts, range(1) is
// swift mode.
void BM_LonePass(benchmark::State& bench) {
    const bool encrypt = bench.range(0) != 0;
    const bool swift = bench.range(1) != 0;
    const std::size_t kPiece = static_cast<std::size_t>(bench.range(2)) << 10;
    const Bytes plain = RandomBytes(std::size_t{64} << 20);
    JobState encryptState;
    PrepareState(encryptState, "benchmark key of some length", swift, true);
    JobState decryptState;
    PrepareState(decryptState, "benchmark key of some length", swift, false);
    const RandomByteSource random = [] { return 7; };
    const auto run = [&](bool encrypting, const Bytes& input, Bytes* output) {
        PassChain chain(kPiece, true);
        chain.Append(
            std::make_unique<PassStage>(encrypting ? encryptState : decryptState, encrypting));
        const PassChain::Sink sink = [output](const std::uint8_t* data, std::size_t count) {
            if (output != nullptr) {
                output->insert(output->end(), data, data + count);
            }
            benchmark::DoNotOptimize(data);
            return true;
        };
        for (std::size_t at = 0; at < input.size(); at += kPiece) {
            chain.Push(input.data() + at, std::min(kPiece, input.size() - at), random, sink);
        }
        chain.Finish(random, sink);
    };
    Bytes cipher;
    run(true, plain, &cipher);
    Bytes back;
    run(false, cipher, &back);
    if (back != plain) {
        bench.SkipWithError("the pass did not decrypt what it encrypted");
        return;
    }
    for (auto _ : bench) {
        run(encrypt, encrypt ? plain : cipher, nullptr);
    }
    bench.SetBytesProcessed(bench.iterations() * static_cast<std::int64_t>(plain.size()));
}
BENCHMARK(BM_LonePass)
    ->ArgsProduct({{1, 0}, {1, 0}, {256, 1024}})
    ->ArgNames({"encrypt", "swift", "piece_KiB"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same on narrower vectors, as on older processors: range(3) is the widest
// vector in bytes (the counter says which ran), 16 for SSE2, 32 for AVX2, 64 for AVX-512.
void BM_TransformTier(benchmark::State& bench) {
    const bool encrypt = bench.range(0) != 0;
    const bool swift = bench.range(1) != 0;
    const std::string key = bench.range(2) != 0 ? LagOneKey(swift) : "benchmark key of some length";
    const int width = static_cast<int>(bench.range(3));
    JobState state;
    PrepareState(state, key, swift, encrypt);
    RunTransform(bench, encrypt, state,
                 [width](const JobState& s) { return CipherTransform(s, width); });
}
BENCHMARK(BM_TransformTier)
    ->ArgsProduct({{1, 0}, {1, 0}, {0, 1}, {16, 32, 64}})
    ->ArgNames({"encrypt", "swift", "lag1", "width"});

// Byte steps only, the speed of a pass's first bytes: a transform runs the
// direction opposite to its state's EncryptMode byte by byte.
void BM_TransformByteSteps(benchmark::State& bench) {
    const bool encrypt = bench.range(0) != 0;
    JobState state;
    PrepareState(state, "benchmark key of some length", true, !encrypt);
    RunTransform(bench, encrypt, state, [](const JobState& s) { return CipherTransform(s); });
}
BENCHMARK(BM_TransformByteSteps)->Arg(1)->Arg(0)->ArgName("encrypt");

// What every pass costs before its first byte: a key-file block prepared and
// its transform built.
void BM_PassSetUp(benchmark::State& bench) {
    const bool encrypt = bench.range(0) != 0;
    const bool swift = bench.range(1) != 0;
    const Bytes block = RandomBytes(256);
    for (auto _ : bench) {
        JobState state;
        state.Swift = swift;
        state.EncryptMode = encrypt;
        state.PassKeyLength = 256;
        std::copy(block.begin(), block.end(), state.PassKey.begin());
        ExpandPassKey(state);
        PreparePassTables(state);
        const CipherTransform transform(state);
        benchmark::DoNotOptimize(transform.StateBytes());
    }
}
BENCHMARK(BM_PassSetUp)
    ->ArgsProduct({{1, 0}, {1, 0}})
    ->ArgNames({"encrypt", "swift"})
    ->Unit(benchmark::kMicrosecond);

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

void BM_FileJob(benchmark::State& bench) {
    const bool encrypt = bench.range(0) != 0;
    const std::int64_t size = std::int64_t{256} << 20;
    const std::string plain = velkor::bench::RandomFile("velkor-job-bench-plain", size);
    const std::string folder = FolderPart(plain);
    CompileSettings settings;
    const std::string key = "benchmark key";
    settings.Key.assign(key.begin(), key.end());
    settings.EncryptMode = true;
    settings.SourceFileName = plain;
    settings.DrainFileName = folder + "velkor-job-bench-cipher";
    velkor::bench::QuietHost host;
    CompileSession window(host);
    if (!encrypt) {
        window.CompilePending = true;
        CompileJob(window, settings, JobServices{FileSystem::Native(), {}});
        settings.EncryptMode = false;
        settings.SourceFileName = folder + "velkor-job-bench-cipher";
        settings.DrainFileName = folder + "velkor-job-bench-back";
    }
    for (auto _ : bench) {
        window.CompilePending = true;
        CompileJob(window, settings, JobServices{FileSystem::Native(), {}});
    }
    bench.SetBytesProcessed(bench.iterations() * size);
    bench.counters["peak_MiB"] = static_cast<double>(velkor::bench::PeakResidentKiB()) / 1024.0;
    std::filesystem::remove(folder + "velkor-job-bench-cipher");
    std::filesystem::remove(folder + "velkor-job-bench-back");
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
