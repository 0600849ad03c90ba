#include "CommandLine.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

#include "Commands.h"
#include "Cp1252.h"
#include "Secret.h"

namespace velkor::cli {

namespace {

constexpr const char* kDescription =
    "Encrypts and decrypts files with a typed key, converts files to and from groups of five "
    "characters, and counts the byte values of a file. See velkor32-cli(1).";

constexpr const char* kExitFooter =
    "Exit status: 0 success, 1 failure or refusal, 2 wrong usage, 128+N after signal N.";
constexpr const char* kKeySources =
    "FROM is env:NAME, file:PATH or fd:N; without --pass the key is asked for on the terminal.\n";

// Every option may be given once: a second one is wrong usage, not a silent winner.
template <typename OptionPointer>
OptionPointer Once(OptionPointer option) {
    option->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    return option;
}

// What the parser fills before it becomes a CryptOptions field.
struct CryptOptionTexts {
    std::string extension;
    bool noSwift = false;
};

CLI::App* AddCryptCommand(CLI::App& app, bool encrypt, CryptOptions& options,
                          CryptOptionTexts& texts) {
    CLI::App* command = app.add_subcommand(
        encrypt ? "encrypt" : "decrypt",
        encrypt ? "Encrypt SOURCE into DRAIN, or every FILE into DIR/FILE.vlk with --into"
                : "Decrypt SOURCE into DRAIN, or every FILE.vlk into DIR/FILE with --into");
    command
        ->add_option("FILES", options.files,
                     "SOURCE DRAIN (- is standard input or output); with --into, the files")
        ->required();
    Once(command->add_option("--key-file", options.keyFile, "Key file: one more pass per block")
             ->type_name("FILE"));
    Once(command
             ->add_option("--extension", texts.extension,
                          "One-character key extension; \"\" for none")
             ->type_name("C"));
    Once(command->add_flag("--no-swift", texts.noSwift, "Turn fast mode off"));
    Once(
        command->add_option("--pass", options.pass, "Where the key comes from")->type_name("FROM"));
    Once(command->add_flag("--force", options.force, "Replace an existing drain"));
    Once(command->add_flag("--quiet", options.quiet, "No progress line"));
    Once(command->add_option("--into", options.into, "Write each FILE's result into DIR")
             ->type_name("DIR")
             ->check(CLI::ExistingDirectory));
    Once(
        command->add_option("--jobs", options.jobs, "With --into: files at a time (default: cores)")
            ->type_name("N")
            ->check(CLI::Range(1U, 1024U)));
    command->footer(std::string(kKeySources) + kExitFooter);
    return command;
}

// The extension as its one Windows-1252 byte; false when it is not one character.
bool ExtensionByte(std::string& text, std::uint8_t& byte) {
    if (text.empty()) {
        byte = 0;
        return true;
    }
    const auto bytes = KeyBytesFromText(text);
    SecureZero(text.data(), text.size());
    const bool single = bytes && bytes->size() == 1;
    if (single) {
        byte = bytes->front();
    }
    return single;
}

int Usage(const std::string& command, const std::string& problem) {
    const std::string help = command.empty() ? "--help" : command + " --help";
    std::fprintf(stderr, "velkor32-cli: %s\nTry 'velkor32-cli %s'.\n", problem.c_str(),
                 help.c_str());
    return kUsage;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
    CLI::App app(kDescription, "velkor32-cli");
    app.set_version_flag("--version", "velkor32-cli " VELKOR_VERSION);
    app.require_subcommand(1);
    app.footer(std::string(kKeySources) + kExitFooter);

    CryptOptions encryptOptions;
    encryptOptions.encrypt = true;
    CryptOptions decryptOptions;
    CryptOptionTexts encryptTexts;
    CryptOptionTexts decryptTexts;
    CLI::App* encrypt = AddCryptCommand(app, true, encryptOptions, encryptTexts);
    CLI::App* decrypt = AddCryptCommand(app, false, decryptOptions, decryptTexts);

    GroupsOptions groupsOptions;
    CLI::App* groups = app.add_subcommand(
        "groups", "Encode SOURCE as groups of five characters, or decode group text back");
    groups->add_option("SOURCE", groupsOptions.source, "File to convert")->required();
    groups->add_option("DRAIN", groupsOptions.drain, "Result")->required();
    Once(groups->add_flag("--force", groupsOptions.force, "Replace an existing drain"));
    Once(groups->add_flag("--quiet", groupsOptions.quiet, "No progress line"));
    groups->footer(kExitFooter);

    std::string analysed;
    CLI::App* analyse = app.add_subcommand(
        "analyse", "Count the byte values of FILE into a log beside it; prints the log's path");
    analyse->add_option("FILE", analysed, "File to analyse")->required();
    analyse->footer(kExitFooter);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::ParseError& error) {
        const std::vector<CLI::App*> chosen = app.get_subcommands();
        if (chosen.empty() && argc > 1 && argv[1][0] != '-') {
            return Usage("", std::string("unknown command '") + argv[1] + "'");
        }
        return Usage(chosen.empty() ? "" : chosen.back()->get_name(), error.what());
    }

    if (encrypt->parsed() || decrypt->parsed()) {
        const bool encrypting = encrypt->parsed();
        CryptOptions& options = encrypting ? encryptOptions : decryptOptions;
        CryptOptionTexts& texts = encrypting ? encryptTexts : decryptTexts;
        const std::string name = encrypting ? "encrypt" : "decrypt";
        if (!ExtensionByte(texts.extension, options.extension)) {
            return Usage(name, "--extension takes one character of Windows-1252, or \"\"");
        }
        options.swift = !texts.noSwift;
        if (!options.into.empty()) {
            return RunBatchCommand(options);
        }
        if (options.jobs != 0) {
            return Usage(name, "--jobs goes with --into");
        }
        if (options.files.size() != 2) {
            return Usage(name, "SOURCE and DRAIN are needed, or --into DIR and files");
        }
        return RunCryptCommand(options);
    }
    if (groups->parsed()) {
        return RunGroupsCommand(groupsOptions);
    }
    if (analyse->parsed()) {
        if (analysed.empty()) {
            return Usage("analyse", "FILE is an empty name");
        }
        return RunAnalyseCommand(analysed);
    }
    return Usage("", "a command is needed");
}

}  // namespace velkor::cli
