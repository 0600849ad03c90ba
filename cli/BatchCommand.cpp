#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Commands.h"
#include "CryptJob.h"
#include "FileSystem.h"
#include "Interrupts.h"
#include "TerminalHost.h"

namespace velkor::cli {

namespace {

constexpr std::string_view kEncryptedSuffix = ".vlk";

struct BatchFile {
    std::string source;
    std::string drain;
    // Why the file is not even tried; empty when it is.
    std::string refusal;
};

// DIR/NAME.vlk out of NAME, and back; a repeated result name would let one
// file's result replace another's, so only its first file gets it.
std::vector<BatchFile> PlanBatch(const CryptOptions& options) {
    std::vector<BatchFile> plan;
    std::set<std::string> drains;
    const std::string folder = options.into.ends_with('/') ? options.into : options.into + "/";
    for (const std::string& source : options.files) {
        BatchFile file{source, {}, {}};
        const std::string name = FileNamePart(source);
        if (options.encrypt) {
            file.drain = folder + name + std::string(kEncryptedSuffix);
        } else if (name.size() > kEncryptedSuffix.size() && name.ends_with(kEncryptedSuffix)) {
            file.drain = folder + name.substr(0, name.size() - kEncryptedSuffix.size());
        } else {
            file.refusal = "the name does not end in .vlk";
        }
        if (name.empty() || source == kStandardStream) {
            file.refusal = "a batch takes named files only";
        } else if (file.refusal.empty() && !drains.insert(file.drain).second) {
            file.refusal = file.drain + " is already the result of another file";
        }
        plan.push_back(std::move(file));
    }
    return plan;
}

unsigned JobCount(const CryptOptions& options, std::size_t files) {
    unsigned jobs = options.jobs != 0 ? options.jobs : std::thread::hardware_concurrency();
    jobs = std::max(jobs, 1U);
    return static_cast<unsigned>(std::min<std::size_t>(jobs, std::max<std::size_t>(files, 1)));
}

// One line per file: its result or why it failed, with the job's messages.
void ReportFile(std::mutex& output, const BatchFile& file, bool done, std::string messages) {
    std::replace(messages.begin(), messages.end(), '\n', ' ');
    while (!messages.empty() && messages.back() == ' ') {
        messages.pop_back();
    }
    const std::lock_guard lock(output);
    if (done) {
        std::fprintf(stderr, "%s: ok -> %s\n", file.source.c_str(), file.drain.c_str());
    } else {
        std::fprintf(stderr, "%s: failed: %s\n", file.source.c_str(),
                     file.refusal.empty() ? messages.c_str() : file.refusal.c_str());
    }
    std::fflush(stderr);
}

}  // namespace

int RunBatchCommand(const CryptOptions& options) {
    const std::vector<BatchFile> plan = PlanBatch(options);
    SecretBytes key;
    const int keyStatus = ReadJobKey(options, false, key);
    if (keyStatus != kSuccess) {
        return keyStatus;
    }

    std::atomic<std::size_t> next{0};
    std::atomic<bool> anyFailed{false};
    std::mutex output;
    auto work = [&] {
        for (std::size_t index = next++; index < plan.size() && InterruptSignal() == 0;
             index = next++) {
            const BatchFile& file = plan[index];
            std::string messages;
            bool done = false;
            if (file.refusal.empty()) {
                TerminalHost host({.collected = &messages});
                done = RunCryptJob(options, file.source, file.drain, key, host);
            }
            if (InterruptSignal() != 0) {
                return;
            }
            if (!done) {
                anyFailed = true;
            }
            ReportFile(output, file, done, std::move(messages));
        }
    };
    std::vector<std::thread> workers;
    const unsigned jobs = JobCount(options, plan.size());
    for (unsigned i = 1; i < jobs; ++i) {
        workers.emplace_back(work);
    }
    work();
    for (std::thread& worker : workers) {
        worker.join();
    }
    SecureZero(key.data(), key.size());
    if (InterruptSignal() != 0) {
        return ReportInterrupted();
    }
    return anyFailed ? kFailure : kSuccess;
}

}  // namespace velkor::cli
