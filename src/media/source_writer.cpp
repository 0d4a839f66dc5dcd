#include "media/source_writer.h"

#include "base/progress.h"

namespace vcd2 {

Status PutSector(SourceContext& context, RawSector& sector, uint32_t bytes) {
  StepProgress();
  if (!context.writer.Write(context.result.next_sector, sector)) return false;
  ++context.result.next_sector;
  context.result.size += bytes;
  return !AbortRequested();
}

Status CopyInPieces(SourceContext& context, std::FILE* file, size_t data_size, uint8_t submode,
                    uint8_t last_submode, uint32_t sector_bytes) {
  for (int ahead = std::fgetc(file); ahead != EOF;) {
    RawSector sector{};
    uint8_t* data = sector.data() + kUserDataOffset;
    data[0] = static_cast<uint8_t>(ahead);
    const size_t count = 1 + std::fread(data + 1, 1, data_size - 1, file);
    ahead = std::fgetc(file);
    SetSubheader(sector, {context.file_number, 0, ahead == EOF ? last_submode : submode, 0});
    const uint32_t bytes = sector_bytes != 0 ? sector_bytes : static_cast<uint32_t>(count);
    if (!PutSector(context, sector, bytes)) return false;
  }
  return true;
}

namespace {

Status WriteByType(SourceContext& context) {
  switch (context.item.GetFileType()) {
    case FileType::kPlainFile:
      return WritePlainFile(context);
    case FileType::kRtfFile:
      return WriteRtfFile(context);
    case FileType::kPartsFile:
      return WritePartsFile(context);
    case FileType::kIffDyuv:
      return WriteIffFile(context);
    case FileType::kMpegSystem:
      return WriteMpegFile(context);
    default:
      return true;  // other kinds put nothing into the image
  }
}

}  // namespace

SourceResult WriteSourceSectors(const VcdProject& project, SectorWriter& writer,
                                const ScriptItem& item, int32_t first_sector, uint8_t file_number,
                                bool scan_entries) {
  SourceResult result;
  result.next_sector = first_sector;
  EntryScanner scanner;
  SourceContext context{project, writer, item, file_number, scan_entries ? &scanner : nullptr,
                        result};
  result.ok = static_cast<bool>(WriteByType(context));
  if (scan_entries) {
    scanner.Finish();
    result.sequence_headers = scanner.SequenceHeaders();
  }
  return result;
}

}  // namespace vcd2
