#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Appends the CD-i application files and the segment play items to the data
// track image at the next free address, numbers the segment play items by
// 150-sector units and ends the data track with 150 empty sectors.
Status AppendSegments(VcdProject& project);

}  // namespace vcd2
