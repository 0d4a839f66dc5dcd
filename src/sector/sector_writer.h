#pragma once

#include <cstdio>

#include "base/status.h"
#include "sector/sector.h"

namespace vcd2 {

// Takes whole sectors whose subheaders and data are filled and finishes and
// writes them at their LBA.
class SectorWriter {
 public:
  virtual ~SectorWriter() = default;
  virtual Status Write(int32_t lba, RawSector& sector) = 0;
};

// Writes each sector in place with WriteSectorAt.
class RandomAccessWriter : public SectorWriter {
 public:
  explicit RandomAccessWriter(std::FILE* image) : image_(image) {}
  Status Write(int32_t lba, RawSector& sector) override {
    return WriteSectorAt(image_, lba, sector);
  }

 private:
  std::FILE* image_;
};

}  // namespace vcd2
