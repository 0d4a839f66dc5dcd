#include "media/source_writer.h"

namespace vcd2 {

Status WriteSourceSectors(VcdProject& project, SectorWriter& writer, ScriptItem& item,
                          int32_t& next_sector, uint32_t& size, uint8_t file_number,
                          EntryScanner* scanner) {
  size = 0;
  SourceContext context{project, writer, item, next_sector, size, file_number};
  switch (item.GetFileType()) {
    case FileType::kPlainFile:
      return WritePlainFile(context);
    case FileType::kRtfFile:
      return WriteRtfFile(context);
    case FileType::kPartsFile:
      return WritePartsFile(context);
    case FileType::kIffDyuv:
      return WriteIffFile(context);
    case FileType::kMpegSystem:
      return WriteMpegFile(context, scanner);
    default:
      return true;  // other kinds put nothing into the image
  }
}

}  // namespace vcd2
