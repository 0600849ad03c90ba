#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace velkor::testing {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& hex);
std::string ToHex(const Bytes& bytes);
Bytes ReadBytes(const std::string& path);

// "Name=value" lines of a key-material file.
std::map<std::string, std::string> ReadKeyValues(const std::string& path);

// One known encryption job.
struct CipherCase {
    std::string name;
    Bytes plain;
    Bytes key;
    int extension = 0;
    bool swift = true;
    Bytes keyFile;
    bool hasKeyFile = false;
    std::vector<int> headerLengths;
    Bytes cipher;
    Bytes decrypted;
};

std::vector<CipherCase> LoadCipherCases(const std::string& root);
std::vector<std::string> ExpandCaseFiles(const std::string& root);

}  // namespace velkor::testing
