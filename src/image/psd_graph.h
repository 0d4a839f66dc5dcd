#pragma once

#include <string>

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// The playback control of a checked project as a Graphviz DOT graph: a node
// per play list and selection (label, LID, play items, wait, timeout), a node
// per played item, an edge per PREVIOUS, NEXT, RETURN, DEFAULT and TIMEOUT
// target, per selection key and per play item. The START list has a double
// border; lists that cannot be reached from it are grey.
std::string PsdGraph(const VcdProject& project);

// Warns about each list and segment that no chain of targets from START
// reaches; nothing without a START list.
void WarnUnreachable(const VcdProject& project);

// Writes PsdGraph to path.
Status WritePsdGraph(const VcdProject& project, const std::string& path);

}  // namespace vcd2
