// RTF sources: raw 2352-byte sectors copied with their own subheaders;
// scrambled ones (mode byte 0x62) are descrambled first.
#include "base/error_reporter.h"
#include "media/source_file.h"
#include "media/source_writer.h"
#include "sector/scrambler.h"
#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

constexpr uint8_t kScrambledMode = 0x62;

}  // namespace

Status WriteRtfFile(SourceContext& context) {
  const std::string path = context.item.NewFullPath().value_or("");
  StartSectorProgress(SourceSize(path) / kRawSectorSize);
  const UniqueFile file = OpenSource(path);
  if (!file) return false;
  RawSector sector;
  while (std::fread(sector.data(), 1, sector.size(), file.get()) == sector.size()) {
    if (sector[kModeOffset] == kScrambledMode) {
      ScrambleSectorBody(sector.data() + kHeaderOffset);
    } else if (sector[kModeOffset] != kMode2) {
      ReportError("%s is not a valid RTF file.", path.c_str());
      return false;
    }
    if (!PutSector(context, sector, kForm1DataSize)) return false;
  }
  return true;
}

}  // namespace vcd2
