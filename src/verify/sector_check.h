#pragma once

#include <cstdint>
#include <string>

#include "verify/disc_source.h"
#include "verify/problems.h"

namespace vcd2 {

// The sector layer: sync, header address against the sector's place, mode 2,
// the two subheader copies, the EDC of both Forms (a Form 2 EDC of zero means
// none) and the P/Q parity of Form 1, and pregap sectors that are empty
// Form 2 sectors.
class SectorCheck {
 public:
  explicit SectorCheck(ProblemLog& log) : log_(log) {}

  void Check(const uint8_t* sector, int32_t lba, const TrackSpan& track);
  uint64_t Checked() const { return checked_; }

 private:
  ProblemLog& log_;
  uint64_t checked_ = 0;
};

}  // namespace vcd2
