#pragma once

#include <string>

namespace velkor::cli {

// A private folder (owner-only, in the temporary folder) for a stream that a
// command can only take as a named file; removed with everything in it.
class StreamSpool {
  public:
    StreamSpool() = default;
    ~StreamSpool();
    StreamSpool(const StreamSpool&) = delete;
    StreamSpool& operator=(const StreamSpool&) = delete;

    // Creates the folder; false when it cannot be made.
    bool Create();
    // A name in the folder.
    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

  private:
    std::string folder_;
};

// Copies a descriptor to the end into a new file; false on an error or an
// interrupt.
bool SpoolInto(int from, const std::string& file);
// Copies a file to a descriptor; false on an error (a closed pipe included).
bool CopyOut(const std::string& file, int to);

}  // namespace velkor::cli
