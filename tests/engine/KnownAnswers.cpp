#include "KnownAnswers.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace velkor::testing {

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::string ToHex(const Bytes& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (const auto byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \r\n\t");
    const auto last = text.find_last_not_of(" \r\n\t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return Trimmed(std::string(bytes.begin(), bytes.end()));
}

}  // namespace

std::map<std::string, std::string> ReadKeyValues(const std::string& path) {
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) {
            values[line.substr(0, equals)] = Trimmed(line.substr(equals + 1));
        }
    }
    return values;
}

std::vector<CipherCase> LoadCipherCases(const std::string& root) {
    std::vector<CipherCase> cases;
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(root)) {
        if (!entry.is_directory()) {
            continue;
        }
        const std::string dir = entry.path().string() + "/";
        CipherCase c;
        c.name = entry.path().filename().string();
        c.plain = ReadBytes(dir + "plain.bin");
        c.key = FromHex(ReadText(dir + "key.hex"));
        const std::string ext = ReadText(dir + "ext.hex");
        c.extension = ext.empty() ? 0 : std::stoi(ext, nullptr, 16);
        c.swift = ReadText(dir + "swift.txt") == "on";
        c.hasKeyFile = fs::exists(dir + "keyfile.bin");
        if (c.hasKeyFile) {
            c.keyFile = ReadBytes(dir + "keyfile.bin");
        }
        std::stringstream lengths(ReadText(dir + "header_lens.txt"));
        std::string item;
        while (std::getline(lengths, item, ',')) {
            c.headerLengths.push_back(std::stoi(item));
        }
        c.cipher = ReadBytes(dir + "cipher.bin");
        c.decrypted = ReadBytes(dir + "decrypted.bin");
        cases.push_back(c);
    }
    std::sort(cases.begin(), cases.end(),
              [](const CipherCase& a, const CipherCase& b) { return a.name < b.name; });
    return cases;
}

std::vector<std::string> ExpandCaseFiles(const std::string& root) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        if (entry.path().extension() == ".txt") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace velkor::testing
