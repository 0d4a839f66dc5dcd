#pragma once

#include <cstdint>

#include "base/status.h"
#include "sector/sector_writer.h"

namespace vcd2 {

// An empty Form 2 sector with subheader 00 00 20 00.
RawSector EmptyGapSector();
// A gap sector before CD-DA tracks: its body holds the scrambler sequence,
// with subheader 00 00 20 00.
RawSector ScramblerGapSector();

// Writes count copies of a prepared sector at first, first + 1, ...
Status WriteSectors(SectorWriter& writer, int32_t first, int32_t count, const RawSector& sector);

}  // namespace vcd2
