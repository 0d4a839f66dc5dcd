#pragma once

#include "model/vcd_project.h"

namespace vcd2 {

// The check mode, after the output check. When no MAKE rule would run, the
// outputs are set to write nothing and true says the build goes on: its
// warnings, messages and summary are then exactly the build's. Otherwise
// the host gets the list of the rules that would run, as the files they make
// cannot be measured yet, and the check ends there.
bool StartCheck(VcdProject& project);

}  // namespace vcd2
