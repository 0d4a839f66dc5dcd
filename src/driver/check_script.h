#pragma once

#include <cstdint>

#include "model/vcd_project.h"

namespace vcd2 {

// The check mode, after the label check: measures and inspects every source
// and every output folder as the build would meet them, without running a
// MAKE rule or writing anything, and hands the host a summary of what the
// build would produce. Returns the result the build would have so far.
int32_t CheckScript(const VcdProject& project);

}  // namespace vcd2
