#pragma once

#include "base/status.h"
#include "model/make_rule.h"
#include "model/vcd_project.h"

namespace vcd2 {

// MAKE MPEG: transcodes the clip into the target unless the target is newer
// than its sources and was made by the same rule. The target is kept after
// the build.
Status MakeMpeg(VcdProject& project, MpegMakeRule& rule);

// True when the rule's target is newer than its sources and was made by the
// same rule: MAKE MPEG then leaves it alone.
bool IsCurrent(const MpegMakeRule& rule);

}  // namespace vcd2
