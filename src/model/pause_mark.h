#pragma once

#include <cstdint>

#include "model/label_ref.h"

namespace vcd2 {

// AUTOPAUSE: a pause trigger at the start, the end or a time of an item.
struct PauseMark {
  LabelRef reference;
  uint32_t position;      // token of BEGIN, AT or END
  uint32_t timecode = 0;  // AT only
};

}  // namespace vcd2
