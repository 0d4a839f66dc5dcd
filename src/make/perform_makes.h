#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// The make phase: produces each MAKE rule's target that is missing.
Status PerformMakes(VcdProject& project);

}  // namespace vcd2
