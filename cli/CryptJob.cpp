#include "CryptJob.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "CompileJob.h"
#include "CompileRequest.h"
#include "CoreDumps.h"
#include "Cp1252.h"
#include "Interrupts.h"
#include "JobFileSystem.h"
#include "KeySource.h"

namespace velkor::cli {

namespace {

// The request fields of the command line; a refused request ends the job, so
// there is no field to clear.
class CommandLineForm : public CompileRequestForm {
  public:
    CommandLineForm(const CompileSettings& settings, bool force)
        : settings_(settings), confirmed_(force) {}
    std::size_t RequestKeyLength() const override { return settings_.Key.size(); }
    bool RequestSourceIsStream() const override { return settings_.SourceStream >= 0; }
    bool RequestDrainIsStream() const override { return settings_.DrainStream >= 0; }
    std::string RequestKeyFileName() const override { return settings_.KeyFileName; }
    std::string RequestSourceFileName() const override { return settings_.SourceFileName; }
    std::string RequestDrainFileName() const override { return settings_.DrainFileName; }
    bool& RequestDrainConfirmed() override { return confirmed_; }
    void ClearField(RequestField /*field*/) override {}
    void FocusField(RequestField /*field*/) override {}

  private:
    const CompileSettings& settings_;
    bool confirmed_;
};

std::int64_t FileSize(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : 0;
}

// Bytes a job reads as data: the source once per group of passes chained in
// memory (one pass with the key, one more per key-file block); 0 for a stream.
std::int64_t JobBytes(const std::string& source, const std::string& keyFile,
                      std::size_t passesPerGroup) {
    constexpr std::int64_t kKeyBlock = 256;
    const std::int64_t passes =
        1 + (keyFile.empty() ? 0 : (FileSize(keyFile) + kKeyBlock - 1) / kKeyBlock);
    const auto group = static_cast<std::int64_t>(passesPerGroup);
    return FileSize(source) * ((passes + group - 1) / group);
}

// A pipe whose reading end was closed: writes to it fail with EPIPE.
bool ReaderGone(int fd) {
    pollfd output{fd, 0, 0};
    return ::poll(&output, 1, 0) > 0 && (output.revents & POLLERR) != 0;
}

}  // namespace

int ReadJobKey(const CryptOptions& options, bool standardInputIsData, SecretBytes& key) {
    if (!DisableCoreDumps()) {
        std::fputs("velkor32-cli: cannot turn core dumps off; the key is not read\n", stderr);
        return kFailure;
    }
    SecretBytes text;
    std::string error;
    const KeyReadResult read = ReadKeyText({.from = options.pass,
                                            .askTwice = options.encrypt,
                                            .standardInputIsData = standardInputIsData},
                                           text, error);
    if (read == KeyReadResult::Interrupted || InterruptSignal() != 0) {
        return ReportInterrupted();
    }
    if (read != KeyReadResult::Read) {
        std::fprintf(stderr, "velkor32-cli: %s\n", error.c_str());
        return kFailure;
    }
    auto bytes =
        KeyBytesFromText(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    if (!bytes) {
        std::fputs("velkor32-cli: the key has a character that Windows-1252 does not have\n",
                   stderr);
        return kFailure;
    }
    key = std::move(*bytes);
    return kSuccess;
}

bool RunCryptJob(const CryptOptions& options, const std::string& source, const std::string& drain,
                 const SecretBytes& key, TerminalHost& host) {
    CompileSettings settings;
    settings.EncryptMode = options.encrypt;
    // Messages name the streams in words.
    if (source == kStandardStream) {
        settings.SourceStream = STDIN_FILENO;
        settings.SourceFileName = "standard input";
    } else {
        settings.SourceFileName = source;
    }
    if (drain == kStandardStream) {
        settings.DrainStream = STDOUT_FILENO;
        settings.DrainFileName = "standard output";
    } else {
        settings.DrainFileName = drain;
    }
    settings.KeyFileName = options.keyFile;
    settings.Swift = options.swift;
    settings.KeyExtension = options.extension;
    settings.Key = key;

    JobFileSystem files(settings.KeyFileName);
    CommandLineForm form(settings, options.force);
    CompileRequestChecks checks(host, files);
    bool finished = false;
    if (checks.CheckCompileRequest(form) && InterruptSignal() == 0) {
        const JobServices services{files, {}};
        host.FollowProgress(files.BytesRead(),
                            settings.SourceStream >= 0
                                ? 0
                                : JobBytes(source, settings.KeyFileName, services.passesPerGroup));
        CompileSession window(host);
        window.CompilePending = true;
        CompileJob(window, settings, services);
        host.ClearProgress();
        finished = host.Succeeded() && !host.Failed();
        if (!finished && settings.DrainStream >= 0 && ReaderGone(settings.DrainStream)) {
            host.Report("velkor32-cli: standard output was closed before the end");
        }
    }
    return finished;
}

}  // namespace velkor::cli
