#pragma once

#include "CompileSettings.h"
#include "JobState.h"

namespace velkor {

// At job start: the user's settings into the job state, with a saved copy of
// the key for the last pass of a decryption.
void CaptureJobSettings(JobState& state, const CompileSettings& settings);

// Before every pass: the pass key (1 to 256 bytes) becomes exactly 256 bytes.
// Returns the number of mixing cycles it took.
int ExpandPassKey(JobState& state);

// Intermediate values of a preparation, for checking against known answers.
struct PassPreparation {
    int keySum = 0;
    int steps = 0;
    int derivedExtension = 0;
};

// Right after expansion: the pass's extension, registers, tables and bit
// order; masks the pass key.
PassPreparation PreparePassTables(JobState& state);

}  // namespace velkor
