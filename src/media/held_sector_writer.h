#pragma once

#include <optional>

#include "sector/sector_writer.h"

namespace vcd2 {

// Passes sectors on one behind, so that the last one can still be marked
// when the stream ends (the trigger of AUTOPAUSE END).
class HeldSectorWriter : public SectorWriter {
 public:
  explicit HeldSectorWriter(SectorWriter& next) : next_(next) {}

  Status Write(int32_t lba, RawSector& sector) override {
    if (held_lba_ && !next_.Write(*held_lba_, held_)) return false;
    held_ = sector;
    held_lba_ = lba;
    return true;
  }
  // Writes the held sector, with the given submode bits added.
  Status Release(uint8_t submode_bits) {
    if (!held_lba_) return true;
    held_[kSubheaderOffset + 2] |= submode_bits;
    held_[kSubheaderOffset + kSubheaderSize + 2] |= submode_bits;
    const int32_t lba = *held_lba_;
    held_lba_.reset();
    return next_.Write(lba, held_);
  }

 private:
  SectorWriter& next_;
  RawSector held_{};
  std::optional<int32_t> held_lba_;
};

}  // namespace vcd2
