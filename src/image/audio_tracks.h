#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Numbers the CD-DA tracks after the MPEG tracks and measures each source as
// raw CD audio (588 four-byte sample frames per sector).
Status BuildAudioTracks(VcdProject& project);

}  // namespace vcd2
