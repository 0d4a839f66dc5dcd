#pragma once

#include <cstdint>
#include <cstdio>

#include "base/status.h"
#include "media/entry_scanner.h"
#include "model/vcd_project.h"
#include "sector/sector_writer.h"

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

// Steps the progress and writes the next sector; `bytes` count to the size.
// False when the write failed or the host asked to stop.
Status PutSector(SourceContext& context, RawSector& sector, uint32_t bytes);

// Copies a file in pieces of data_size bytes, reading one byte ahead to mark
// the last sector with last_submode. Each sector counts `sector_bytes` to the
// size, or the bytes it holds when that is 0.
Status CopyInPieces(SourceContext& context, std::FILE* file, size_t data_size, uint8_t submode,
                    uint8_t last_submode, uint32_t sector_bytes);

// The readers, one per source kind.
Status WritePlainFile(SourceContext& context);
Status WriteRtfFile(SourceContext& context);
Status WritePartsFile(SourceContext& context);
Status WriteIffFile(SourceContext& context);
// MPEG video packs are also fed to the scanner when there is one.
Status WriteMpegFile(SourceContext& context, EntryScanner* scanner);

}  // namespace vcd2
