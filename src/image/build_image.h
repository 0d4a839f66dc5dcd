#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// The image phase: writes the data track image and the MPEG track images.
Status BuildImage(VcdProject& project);

}  // namespace vcd2
