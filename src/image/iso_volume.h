#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// LBAs of the Video CD control files.
inline constexpr uint32_t kInfoLba = 150;
inline constexpr uint32_t kEntriesLba = 151;
inline constexpr uint32_t kLotLba = 152;
inline constexpr uint32_t kLotSectors = 32;
inline constexpr uint32_t kPsdLba = 184;
// Segment play items occupy whole units of this many sectors.
inline constexpr uint32_t kSegmentUnitSectors = 150;

// Creates the data track image: the pregap and the ISO 9660 volume with the
// Video CD directories. Sets the next free address to the volume's size.
Status BuildIsoVolume(VcdProject& project);

}  // namespace vcd2
