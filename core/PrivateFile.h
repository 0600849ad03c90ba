#pragma once

#include <functional>
#include <string>

#include "FileSystem.h"

namespace velkor {

// A file of one job alone: created new and owner-only, never through a link,
// and removed on every ending except the one where it becomes the drain.
// No other process can have chosen its name before us or change it under us.
class PrivateFile {
  public:
    explicit PrivateFile(FileSystem& files) : files_(files) {}
    ~PrivateFile() { Discard(); }
    PrivateFile(const PrivateFile&) = delete;
    PrivateFile& operator=(const PrivateFile&) = delete;

    // Creates folder + candidate(0), or the next candidate while the name is
    // taken.
    IoResult Create(const std::string& folder, const std::function<std::string(int)>& candidate);
    // A new result for `drain` in the folder of the file that writing the
    // drain reaches (a link's target).
    IoResult CreateResultFor(const std::string& drain);

    bool IsCreated() const { return !name_.empty(); }
    const std::string& Name() const { return name_; }
    File& file() { return file_; }

    // Puts the finished result in place of the drain it was created for:
    // flushes it, gives it the permission bits of a drain it replaces, renames
    // it over the drain and flushes the folder.
    IoResult Commit();
    // Closes and removes the file; nothing is left of it.
    void Discard();

  private:
    FileSystem& files_;
    File file_;
    std::string name_;
    std::string target_;
};

// Names of a job's work file: VELKOR.VLK, 1VELKOR.VLK, 2VELKOR.VLK, ...
std::string WorkFileCandidate(int attempt);

}  // namespace velkor
