#include "image/gap_sectors.h"

#include "sector/scrambler.h"

namespace vcd2 {
namespace {

constexpr Subheader kGapSubheader = {0, 0, submode::kForm2, 0};

}  // namespace

RawSector EmptyGapSector() {
  RawSector sector{};
  SetSubheader(sector, kGapSubheader);
  return sector;
}

RawSector ScramblerGapSector() {
  RawSector sector{};
  ScrambleSectorBody(sector.data() + kHeaderOffset);
  SetSubheader(sector, kGapSubheader);
  return sector;
}

Status WriteSectors(SectorWriter& writer, int32_t first, int32_t count, const RawSector& sector) {
  RawSector work;
  for (int32_t i = 0; i < count; ++i) {
    work = sector;
    if (!writer.Write(first + i, work)) return false;
  }
  return true;
}

}  // namespace vcd2
