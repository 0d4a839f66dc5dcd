#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Plans list ids and descriptor offsets and writes PSD_X.VCD to a temporary
// file.
Status BuildPsd(VcdProject& project);
// Writes LOT_X.VCD to a temporary file.
Status BuildLot(VcdProject& project);
// Writes PSD.VCD from LBA 184 and enters its size in its directory record.
Status InsertPsd(VcdProject& project);
// Writes LOT.VCD at LBA 152..183.
Status InsertLot(VcdProject& project);

}  // namespace vcd2
