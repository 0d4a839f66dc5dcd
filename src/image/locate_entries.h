#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Turns the timecode of every entry point into the sector of the sequence
// header in front of the wanted intra-coded picture, among those found when
// the track was written.
Status LocateEntries(VcdProject& project);

}  // namespace vcd2
