#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "Commands.h"
#include "CompileJob.h"
#include "CompileRequest.h"
#include "Cp1252.h"
#include "JobState.h"
#include "KeySource.h"
#include "TerminalHost.h"

namespace velkor::cli {

namespace {

constexpr const char* kCryptUsage =
    "usage: velkor32-cli encrypt|decrypt SOURCE DRAIN [--key-file FILE] [--extension C]\n"
    "                                    [--no-swift] [--pass FROM] [--force]\n";

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int /*signal*/) {
    interrupted = 1;
}

struct CryptOptions {
    std::string source;
    std::string drain;
    std::string keyFile;
    std::string pass;
    std::optional<std::string> extension;
    bool swift = true;
    bool force = false;
};

std::optional<CryptOptions> Parse(const Arguments& args) {
    CryptOptions options;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--no-swift") {
            options.swift = false;
        } else if (arg == "--force") {
            options.force = true;
        } else if ((arg == "--key-file" || arg == "--extension" || arg == "--pass") && hasValue) {
            const std::string& value = args[++i];
            if (arg == "--key-file") {
                options.keyFile = value;
            } else if (arg == "--extension") {
                options.extension = value;
            } else {
                options.pass = value;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "velkor32-cli: unknown or incomplete option '%s'\n", arg.c_str());
            return std::nullopt;
        } else {
            names.push_back(arg);
        }
    }
    if (names.size() != 2) {
        return std::nullopt;
    }
    options.source = names[0];
    options.drain = names[1];
    return options;
}

// The terminal's side of a job: the job's messages on standard error, a
// progress line while it runs, Ctrl+C as the close box.
class CryptHost : public TerminalHost {
  public:
    explicit CryptHost(std::string drain) : drain_(std::move(drain)) {}

    Answer ShowMessage(MessageKind kind, Buttons buttons, const std::string& text,
                       const std::string& caption) override {
        ClearProgress();
        if (kind == MessageKind::Error || kind == MessageKind::Warning) {
            failed = true;
        }
        if (!jobRunning) {
            // The only question before a job: overwrite the drain. Answered No.
            const Answer answer = TerminalHost::ShowMessage(kind, buttons, text, caption);
            if (kind == MessageKind::Confirmation) {
                std::fputs("(use --force to overwrite it)\n", stderr);
            }
            return answer;
        }
        if (kind == MessageKind::Information || kind == MessageKind::Confirmation) {
            succeeded = true;
            // Nothing to open on a terminal: the report without its question.
            const auto question = text.rfind("\r\rOpen ");
            const std::string report =
                kind == MessageKind::Confirmation ? text.substr(0, question) : text;
            TerminalHost::ShowMessage(kind, Buttons::Ok, report, caption);
            return kind == MessageKind::Information ? Answer::Ok : Answer::No;
        }
        return TerminalHost::ShowMessage(kind, buttons, text, caption);
    }

    void ProcessPendingMessages() override {
        if (!showProgress_) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - lastLine_ < std::chrono::milliseconds(250)) {
            return;
        }
        lastLine_ = now;
        struct stat info {};
        if (::stat(drain_.c_str(), &info) == 0) {
            std::fprintf(stderr, "\rvelkor32-cli: %lld MiB written ",
                         static_cast<long long>(info.st_size >> 20));
            progressShown_ = true;
        }
    }

    bool Terminating() override { return interrupted != 0; }

    void ClearProgress() {
        if (progressShown_) {
            std::fputs("\r\033[K", stderr);
            progressShown_ = false;
        }
    }

    bool jobRunning = false;
    bool failed = false;
    bool succeeded = false;

  private:
    std::string drain_;
    bool showProgress_ = ::isatty(STDERR_FILENO) != 0;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point lastLine_ = std::chrono::steady_clock::now();
};

// The request fields of the command line; a refused request ends the command,
// so there is no field to clear.
class CommandLineForm : public CompileRequestForm {
  public:
    CommandLineForm(const CompileSettings& settings, bool force)
        : settings_(settings), confirmed_(force) {}
    std::size_t RequestKeyLength() const override { return settings_.Key.size(); }
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

}  // namespace

int RunCryptCommand(bool encrypt, const Arguments& args) {
    const auto options = Parse(args);
    if (!options) {
        std::fputs(kCryptUsage, stderr);
        return kUsage;
    }
    CompileSettings settings;
    settings.EncryptMode = encrypt;
    settings.SourceFileName = options->source;
    settings.DrainFileName = options->drain;
    settings.KeyFileName = options->keyFile;
    settings.Swift = options->swift;
    if (options->extension) {
        const auto bytes = KeyBytesFromText(*options->extension);
        if (!bytes || bytes->size() != 1) {
            std::fputs("velkor32-cli: --extension takes exactly one character of Windows-1252\n",
                       stderr);
            return kUsage;
        }
        settings.KeyExtension = static_cast<std::uint8_t>((*bytes)[0]);
    }

    std::string error;
    auto keyText = ReadKeyText(options->pass, encrypt, error);
    if (!keyText) {
        std::fprintf(stderr, "velkor32-cli: %s\n", error.c_str());
        return kFailure;
    }
    auto key = KeyBytesFromText(*keyText);
    std::string& text = *keyText;
    SecureZero(text.data(), text.size());
    if (!key) {
        std::fputs("velkor32-cli: the key has a character that Windows-1252 does not have\n",
                   stderr);
        return kFailure;
    }
    std::string& bytes = *key;
    settings.Key.assign(bytes.begin(), bytes.end());
    SecureZero(bytes.data(), bytes.size());

    FileSystem& files = FileSystem::Native();
    CryptHost host(settings.DrainFileName);
    CommandLineForm form(settings, options->force);
    CompileRequestChecks checks(host, files);
    if (!checks.CheckCompileRequest(form)) {
        return kFailure;
    }

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    CompileSession window(host);
    window.CompilePending = true;
    host.jobRunning = true;
    CompileJob(window, settings, JobServices{files, {}});
    host.ClearProgress();
    return host.succeeded && !host.failed ? kSuccess : kFailure;
}

}  // namespace velkor::cli
