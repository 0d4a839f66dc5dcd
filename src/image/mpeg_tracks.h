#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Writes one image file per MPEG track: pregap, front margin, the stream,
// rear margin and, after the last track, the end gap. Records each track's
// length, video standard and sequence headers.
Status BuildMpegTracks(VcdProject& project);

}  // namespace vcd2
