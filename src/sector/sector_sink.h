#pragma once

#include <cstdint>
#include <span>

#include "base/status.h"

namespace vcd2 {

// Takes Form 1 sectors in increasing LBA order.
class SectorSink {
 public:
  virtual ~SectorSink() = default;
  // One sector of 2048 bytes; the subheader word holds file number, channel
  // and submode in its three low bytes.
  virtual Status AppendSector(std::span<const uint8_t> data, int32_t lba,
                              uint32_t subheader_word) = 0;
  // ceil(size / 2048) sectors, at least one; the last gets last_subheader_word.
  virtual Status AppendFileSectors(std::span<const uint8_t> data, int32_t lba, uint32_t size,
                                   uint32_t subheader_word, uint32_t last_subheader_word) = 0;
};

}  // namespace vcd2
