#pragma once

#include <string>
#include <vector>

namespace velkor::cli {

// Exit statuses of every command.
constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

using Arguments = std::vector<std::string>;

// Each command gets the arguments after its name.
int RunCryptCommand(bool encrypt, const Arguments& args);
int RunGroupsCommand(const Arguments& args);
int RunAnalyseCommand(const Arguments& args);

}  // namespace velkor::cli
