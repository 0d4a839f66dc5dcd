#pragma once

#include <cstdint>
#include <string>

#include "model/vcd_project.h"

namespace vcd2 {

// A short account of a finished build: the image files with their sizes,
// each track with its length, the entries and the disc's length against 74-
// and 80-minute discs.
std::string BuildSummary(const VcdProject& project);

// Warns when the disc outgrows 74-minute media, or 80-minute media.
void WarnDiscLength(const VcdProject& project);

}  // namespace vcd2
