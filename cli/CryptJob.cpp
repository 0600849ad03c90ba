#include "CryptJob.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "CompileJob.h"
#include "CompileRequest.h"
#include "CoreDumps.h"
#include "CountingFileSystem.h"
#include "Cp1252.h"
#include "Interrupts.h"
#include "KeySource.h"

namespace velkor::cli {

namespace {

// The request fields of the command line; a refused request ends the job, so
// there is no field to clear.
class CommandLineForm : public CompileRequestForm {
  public:
    CommandLineForm(const CompileSettings& settings, bool force)
        : settings_(settings), confirmed_(force) {}
    // The checks look at the key's length only: no copy of the key itself.
    std::string RequestKey() const override { return std::string(settings_.Key.size(), '*'); }
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

std::string DrainFolder(const std::string& drain) {
    std::error_code error;
    const auto full = std::filesystem::absolute(drain, error);
    if (error) {
        return {};
    }
    return full.parent_path().string() + "/";
}

std::int64_t FileSize(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : 0;
}

// Bytes a job reads as data: the source once per pass.
std::int64_t JobBytes(const std::string& source, const std::string& keyFile) {
    constexpr std::int64_t kKeyBlock = 256;
    const std::int64_t keyBlocks =
        keyFile.empty() ? 0 : (FileSize(keyFile) + kKeyBlock - 1) / kKeyBlock;
    return FileSize(source) * (1 + keyBlocks);
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
    settings.SourceFileName = source;
    settings.DrainFileName = drain;
    settings.KeyFileName = options.keyFile;
    settings.Swift = options.swift;
    settings.KeyExtension = options.extension;
    settings.DefaultDirectory = DrainFolder(drain);
    settings.Key.reserve(key.size());
    settings.Key.assign(key.begin(), key.end());

    CountingFileSystem files(settings.KeyFileName);
    CommandLineForm form(settings, options.force);
    CompileRequestChecks checks(host, files);
    bool finished = false;
    if (checks.CheckCompileRequest(form) && InterruptSignal() == 0) {
        host.FollowProgress(files.BytesRead(), JobBytes(source, settings.KeyFileName));
        CompileSession window(host);
        window.CompilePending = true;
        CompileJob(window, settings, JobServices{files, {}});
        host.ClearProgress();
        finished = host.Succeeded() && !host.Failed();
    }
    SecureZero(settings.Key.data(), settings.Key.size());
    return finished;
}

}  // namespace velkor::cli
