#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Gives the MPEG and CD-DA tracks their disc addresses, enters them in their
// directory records and writes the volume space size.
Status EnterReferences(VcdProject& project);

}  // namespace vcd2
