#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velkor::cli {

// Exit statuses of every command; a caught signal gives 128 + its number.
constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

// Standard input as SOURCE, standard output as DRAIN.
inline const std::string kStandardStream = "-";

struct CryptOptions {
    bool encrypt = false;
    // SOURCE and DRAIN; with `into`, every file of the batch.
    std::vector<std::string> files;
    std::string into;
    std::string keyFile;
    std::string pass;
    // Key extension byte; 0 for none.
    std::uint8_t extension = 0;
    bool swift = true;
    bool force = false;
    bool quiet = false;
    unsigned jobs = 0;
};

struct GroupsOptions {
    std::string source;
    std::string drain;
    bool force = false;
    bool quiet = false;
};

int RunCryptCommand(const CryptOptions& options);
int RunBatchCommand(const CryptOptions& options);
int RunGroupsCommand(const GroupsOptions& options);
int RunAnalyseCommand(const std::string& file);

}  // namespace velkor::cli
