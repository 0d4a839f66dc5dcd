#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// The make phase: produces the target of every MAKE rule that is missing or
// older than a source. STILL and MPA rules come first, then MUX rules, which
// may use their targets. Every target made is recorded in the project's made
// files, which the build deletes when it ends.
Status PerformMakes(VcdProject& project);

}  // namespace vcd2
