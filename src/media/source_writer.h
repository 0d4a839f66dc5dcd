#pragma once

#include <cstdint>

#include "base/status.h"
#include "image/sector/sector_writer.h"
#include "media/entry_scanner.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Copies an item's source file into sectors of an image, one source kind
// per reader, chosen by the item's file type. The sectors start at
// next_sector, which ends behind the last one written; size is the file's
// size as its directory record shows it. Every subheader carries file_number.
Status WriteSourceSectors(VcdProject& project, SectorWriter& writer, ScriptItem& item,
                          int32_t& next_sector, uint32_t& size, uint8_t file_number,
                          EntryScanner* scanner = nullptr);

// What every reader gets.
struct SourceContext {
  VcdProject& project;
  SectorWriter& writer;
  ScriptItem& item;
  int32_t& next_sector;
  uint32_t& size;
  uint8_t file_number;
};

// The readers, one per source kind.
Status WritePlainFile(SourceContext& context);
Status WriteRtfFile(SourceContext& context);
Status WritePartsFile(SourceContext& context);
Status WriteIffFile(SourceContext& context);
// MPEG video packs are also fed to the scanner when there is one.
Status WriteMpegFile(SourceContext& context, EntryScanner* scanner);

}  // namespace vcd2
