#include <cstdio>
#include <string>

#include "Commands.h"

namespace {

constexpr const char* kUsageText =
    "usage:\n"
    "  velkor32-cli encrypt SOURCE DRAIN [--key-file FILE] [--extension C] [--no-swift]\n"
    "                                    [--pass FROM] [--force]\n"
    "  velkor32-cli decrypt SOURCE DRAIN [--key-file FILE] [--extension C] [--no-swift]\n"
    "                                    [--pass FROM] [--force]\n"
    "  velkor32-cli groups  SOURCE DRAIN [--force]\n"
    "  velkor32-cli analyse FILE\n"
    "  velkor32-cli --help | --version\n"
    "\n"
    "FROM is env:NAME, file:PATH or fd:N; without --pass the key is asked for on the\n"
    "terminal. Exit status: 0 success, 1 failure or refusal, 2 wrong usage.\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace velkor::cli;
    if (argc < 2) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    const std::string command = argv[1];
    const Arguments args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h") {
        std::fputs(kUsageText, stdout);
        return kSuccess;
    }
    if (command == "--version") {
        std::printf("velkor32-cli %s\n", VELKOR_VERSION);
        return kSuccess;
    }
    if (command == "encrypt" || command == "decrypt") {
        return RunCryptCommand(command == "encrypt", args);
    }
    if (command == "groups") {
        return RunGroupsCommand(args);
    }
    if (command == "analyse") {
        return RunAnalyseCommand(args);
    }
    std::fprintf(stderr, "velkor32-cli: unknown command '%s'\n\n%s", command.c_str(), kUsageText);
    return kUsage;
}
