#pragma once

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Orders the MPEG tracks, CD-DA tracks, segments and output names by their
// sequence numbers and groups the pause marks per item.
Status SortItems(VcdProject& project);

// Orders one list by sequence number and numbers its items 0, 1, ... Items
// numbered 0 or 32767 and above, and the later of two equal numbers, are
// dropped, and the sort fails with "reused sequence number.".
template <typename T>
Status SortBySequence(OwnedList<T>& list);

// Groups pause marks by item label, in the order of each label's first mark;
// within a group BEGIN, then AT, then END marks, each kind in script order.
void SortPauseMarks(OwnedList<PauseMark>& marks);

}  // namespace vcd2
