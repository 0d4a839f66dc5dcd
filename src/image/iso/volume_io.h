#pragma once

#include <cstdint>
#include <span>

#include "base/status.h"
#include "image/iso/volume_tree.h"
#include "sector/sector_sink.h"

namespace vcd2 {

// Where the volume writer reads the data of read files from.
class FileSource {
 public:
  virtual ~FileSource() = default;
  virtual bool Open(const VolumeFile& file) = 0;
  // Bytes read, 0 at the end.
  virtual size_t Read(uint8_t* buffer, size_t count) = 0;
  virtual void Close() = 0;
};

}  // namespace vcd2
