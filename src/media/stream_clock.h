#pragma once

#include <cstdint>
#include <string>

#include "base/disc_layout.h"
#include "base/status.h"

namespace vcd2 {

// Follows the system clock of a stream's packs. A clock that runs backwards
// by more than one pack's time, or jumps further ahead than the rest of the
// file could fill at one pack per sector (with a few seconds to spare), is
// refused naming the file and the pack's byte offset, so that neither the
// sector count nor the fillers can run away.
class StreamClock {
 public:
  // A jump may exceed what the remaining bytes fill by this many sectors.
  static constexpr uint64_t kSpareSectors = 5 * kSectorsPerSecond;

  StreamClock(std::string path, uint64_t file_size, uint32_t first_clock)
      : path_(std::move(path)), file_size_(file_size), first_(first_clock), last_(first_clock) {}

  // Checks the clock of the pack at offset against the clock the next sector
  // expects.
  Status Check(uint32_t clock, uint64_t offset, uint32_t expected);
  // The sectors from the first pack's clock to the last one's, at least 1.
  uint32_t SpanSectors() const;

 private:
  std::string path_;
  uint64_t file_size_;
  uint32_t first_;
  uint32_t last_;
};

}  // namespace vcd2
