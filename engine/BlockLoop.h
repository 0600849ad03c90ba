#pragma once

#include "CompileJobContext.h"

namespace velkor {

// One pass SourceFile -> DrainFile while the job is compiling, then the
// key-file progress step. Closes both files however the pass ends.
void RunPass(CompileJobContext& job);

}  // namespace velkor
