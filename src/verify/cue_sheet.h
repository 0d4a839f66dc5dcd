#pragma once

#include <string>

#include "verify/disc_source.h"
#include "verify/problems.h"

namespace vcd2 {

// Reads a cue sheet: its binary FILEs with MODE2/2352 tracks become the
// disc's track spans (disc addresses in the headers), its AUDIO tracks'
// files are checked to exist. Each line it cannot take is a problem naming
// the cue sheet and the line. False when a file cannot be read.
bool ReadCueSheet(const std::string& path, DiscSource& disc, ProblemLog& log);

// The same from the cue sheet's text; files are looked up beside `path`.
bool ReadCueText(const std::string& path, const std::string& text, DiscSource& disc,
                 ProblemLog& log);

}  // namespace vcd2
