#pragma once

#include <filesystem>
#include <string>

namespace velkor::testing {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Full name of an entry in the folder.
    std::string Path(const std::string& name) const;
    // The folder itself, ending with "/".
    std::string Folder() const { return path_.string() + "/"; }

    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

  private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace velkor::testing
