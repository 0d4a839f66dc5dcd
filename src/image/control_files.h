#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Writes INFO.VCD, the disc information, at LBA 150.
Status WriteInfoFile(VcdProject& project);

// Writes ENTRIES.VCD, the entry table, at LBA 151.
Status WriteEntriesFile(VcdProject& project);

}  // namespace vcd2
