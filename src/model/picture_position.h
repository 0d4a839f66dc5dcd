#pragma once

#include <cstdint>

namespace vcd2 {

// Where a picture or sequence header lies in a track.
struct PicturePosition {
  uint32_t sector = 0;    // relative to the track's LBA 0
  uint16_t position = 0;  // byte in the pack
  uint32_t picture = 0;   // display-order number from the start of the track
};

}  // namespace vcd2
