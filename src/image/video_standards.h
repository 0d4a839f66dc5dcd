#pragma once

#include "model/vcd_project.h"

namespace vcd2 {

// Warns when the MPEG tracks, once written, are not all PAL or all NTSC:
// some players switch badly between the two, or not at all.
void WarnMixedStandards(const VcdProject& project);

}  // namespace vcd2
