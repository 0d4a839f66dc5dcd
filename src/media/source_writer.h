#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/status.h"
#include "media/entry_scanner.h"
#include "model/vcd_project.h"
#include "sector/sector_writer.h"

namespace vcd2 {

// What a reader learned from its source.
struct [[nodiscard]] SourceResult {
  bool ok = false;
  int32_t next_sector = 0;  // behind the last sector written
  uint32_t size = 0;        // the file's size as its directory record shows it
  // MPEG streams only: the sectors the stream's clock spans, its content
  // type, and with a scan the sequence headers in front of intra pictures.
  uint32_t sector_count = 0;
  uint8_t content_type = 0;
  std::vector<PicturePosition> sequence_headers;
};

// Copies an item's source file into sectors of an image from first_sector
// on, one source kind per reader, chosen by the item's file type. Every
// subheader carries file_number; scan_entries asks for the entry scan.
SourceResult WriteSourceSectors(const VcdProject& project, SectorWriter& writer,
                                const ScriptItem& item, int32_t first_sector, uint8_t file_number,
                                bool scan_entries = false);

// What every reader gets; it fills in the result.
struct SourceContext {
  const VcdProject& project;
  SectorWriter& writer;
  const ScriptItem& item;
  uint8_t file_number;
  EntryScanner* scanner;  // MPEG video packs are fed to it; may be null
  SourceResult& result;
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
Status WriteMpegFile(SourceContext& context);

}  // namespace vcd2
