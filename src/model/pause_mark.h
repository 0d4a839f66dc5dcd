#pragma once

#include <cstdint>

#include "model/label_ref.h"

namespace vcd2 {

// The position keyword's token.
inline constexpr uint32_t kPauseBegin = 94;
inline constexpr uint32_t kPauseAt = 95;
inline constexpr uint32_t kPauseEnd = 97;

// AUTOPAUSE: a pause trigger at the start, the end or a time of an item.
struct PauseMark {
  LabelRef reference;
  uint32_t position;      // token of BEGIN, AT or END
  uint32_t timecode = 0;  // AT only
};

}  // namespace vcd2
