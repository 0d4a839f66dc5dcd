#pragma once

#include <map>

#include "sector/sector_writer.h"

namespace vcd2::test {

// Keeps every written sector by its LBA.
class RecordingWriter : public SectorWriter {
 public:
  Status Write(int32_t lba, RawSector& sector) override {
    FinishSector(sector, lba);
    sectors[lba] = sector;
    return true;
  }
  std::map<int32_t, RawSector> sectors;
};

}  // namespace vcd2::test
