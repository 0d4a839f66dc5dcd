#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Creates the data track image: the pregap and the ISO 9660 volume with the
// Video CD directories. Sets the next free address to the volume's size.
Status BuildIsoVolume(VcdProject& project);

}  // namespace vcd2
