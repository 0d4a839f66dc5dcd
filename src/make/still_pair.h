#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/status.h"

namespace vcd2 {

// One still picture read for multiplexing: the first unit of its file with
// the sequence end code appended.
struct StillPicture {
  std::vector<uint8_t> bytes;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t frame_rate_code = 0;
};

// The pictures of one group: the low one (352 wide, or any width alone) and
// an optional high one (704 wide).
struct StillPair {
  StillPicture low;
  std::optional<StillPicture> high;
};

// Reads still a and, when given, its companion b, and checks that each holds
// a picture, their widths and heights, and that each fits the buffer its
// stream declares; reports the first problem.
Status LoadStillPair(const std::string& a, const std::string* b, StillPair& pair);

}  // namespace vcd2
