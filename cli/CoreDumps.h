#pragma once

namespace velkor::cli {

// A core dump would write the key to disk: none from here on, for the rest of
// the process. True when both the dump flag and the core size limit took.
bool DisableCoreDumps();

}  // namespace velkor::cli
