#pragma once

#include <cstdio>
#include <vector>

#include "sector/sector_writer.h"

namespace vcd2 {

// Writes finished sectors of a track image in order, in large blocks: one
// write per megabyte. Sectors must come in consecutive LBA order.
class SequentialWriter : public SectorWriter {
 public:
  static constexpr size_t kBlockSectors = 446;  // about 1 MiB

  explicit SequentialWriter(std::FILE* image) : image_(image) {
    buffer_.reserve(kBlockSectors * kRawSectorSize);
  }
  Status Write(int32_t lba, RawSector& sector) override;
  // Writes what is buffered; reports a failed write.
  Status Flush();

 private:
  std::FILE* image_;
  std::vector<uint8_t> buffer_;
};

}  // namespace vcd2
