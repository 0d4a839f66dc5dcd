#pragma once

#include <string>
#include <vector>

#include "vcd2/vcd2.h"

// --inspect: one library call per MPEG file in inspect mode; the reports
// arrive through the table's show_summary. 0 when every file is compliant,
// else the first other result.
int InspectFiles(const std::vector<std::string>& files, BuilderCallbacks& callbacks);
