#pragma once

#include <string>

namespace velkor::testing {

// The decoding rules, read straight from the whole text.
struct ModelDecoding {
    bool startFound = false;
    bool endFound = false;
    std::string bytes;
};

inline ModelDecoding ModelDecode(const std::string& whole) {
    const std::string text = whole.substr(0, whole.find('\x1a'));
    ModelDecoding model;
    std::size_t at = text.find('/');
    if (at == std::string::npos) {
        return model;
    }
    model.startFound = true;
    while (at < text.size() && text[at] == '/') {
        ++at;
    }
    int range = 0;
    for (; at < text.size(); ++at) {
        const char c =
            text[at] >= 'a' && text[at] <= 'z' ? static_cast<char>(text[at] - 'a' + 'A') : text[at];
        if (c == '/') {
            model.endFound = true;
            break;
        }
        if (c >= '0' && c <= '9') {
            range = c - '0';
        } else if (c >= 'A' && c <= 'Z') {
            model.bytes += static_cast<char>((26 * range + c - 'A') & 255);
        }
    }
    return model;
}

}  // namespace velkor::testing
