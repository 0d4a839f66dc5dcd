#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "verify/problems.h"

namespace vcd2 {

// How a verification ended.
enum class VerifyOutcome { kClean, kFaults, kUnreadable, kStopped };

// Verifies a disc: a cue sheet (one file ending in .cue) or the images of one
// build (the data track image, then each MPEG track image). Reads, never
// writes. Each problem goes to the log as it is found; summary receives the
// line that says what was checked.
VerifyOutcome VerifyDisc(const std::vector<std::string>& files, ProblemLog& log,
                         std::string& summary);

}  // namespace vcd2
