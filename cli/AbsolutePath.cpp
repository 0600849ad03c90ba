#include "AbsolutePath.h"

#include <filesystem>
#include <system_error>

namespace velkor::cli {

std::optional<std::string> AbsolutePath(const std::string& name) {
    namespace fs = std::filesystem;
    if (name.empty()) {
        return std::nullopt;
    }
    std::error_code error;
    const fs::path given(name);
    const fs::path last = given.filename();
    if (last.empty() || last == "." || last == "..") {
        const fs::path whole = fs::canonical(given, error);
        return error ? std::nullopt : std::optional<std::string>(whole.string());
    }
    const fs::path folder = given.has_parent_path() ? given.parent_path() : fs::path(".");
    const fs::path resolved = fs::canonical(folder, error);
    if (error) {
        return std::nullopt;
    }
    return (resolved / last).string();
}

}  // namespace velkor::cli
