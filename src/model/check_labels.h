#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Binds mount labels, entries and play targets, numbers the entries, sets
// HasPsd and checks the counts the image writer relies on. Most problems are
// reported and remembered; the phase then fails at its end.
Status CheckLabels(VcdProject& project);

}  // namespace vcd2
