#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"
#include "media/entry_scanner.h"
#include "media/mpeg_pack_reader.h"
#include "sector/sector_writer.h"

namespace vcd2 {

// Where packs go: the image, the sector numbering and the clock.
struct PackPlacement {
  SectorWriter& writer;
  int32_t& next_sector;
  uint32_t expected_clock;
  int32_t trigger_sector;
  uint8_t file_number;
  EntryScanner* scanner;    // fed with every pack; may be null
  const std::string& path;  // the source, for messages
};

// Places one pack (at sector byte 24) into one Form 2 sector. When the pack's
// clock lies a sector or more beyond the expected clock, filler sectors come
// first, so that sector n always carries the pack of clock n * 1200.
Status WritePackSector(RawSector& sector, const MpegPackReader::Pack& pack,
                       PackPlacement& placement);

}  // namespace vcd2
