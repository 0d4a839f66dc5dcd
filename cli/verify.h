#pragma once

#include <string>
#include <vector>

#include "vcd2/vcd2.h"

// --verify: one library call in verify mode for a cue sheet, or for the data
// track image with the MPEG track images behind it; the faults arrive as
// messages, the summary through show_summary. The library's result.
int VerifyFiles(const std::vector<std::string>& files, BuilderCallbacks& callbacks,
                ProgressCallback progress);
