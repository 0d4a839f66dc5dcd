#include "model/items.h"

#include <filesystem>

#include "base/disc_layout.h"
#include "base/error_reporter.h"

namespace vcd2 {

void CdiFile::MeasureSize() {
  sector_count = 0;
  byte_size = 0;
  if (GetFileType() == FileType::kPartsFile) {
    ReportError("ToDo");
    return;
  }
  const auto path = NewFullPath();
  if (!path) return;
  std::error_code error;
  const auto length = std::filesystem::file_size(*path, error);
  if (error) return;
  const auto size = static_cast<uint32_t>(length);
  switch (GetFileType()) {
    case FileType::kPlainFile:
      sector_count = (size + kForm1DataSize - 1) / kForm1DataSize;
      byte_size = size;
      break;
    case FileType::kTextFile:
    case FileType::kIffDyuv:
      sector_count = size / kForm1DataSize;
      byte_size = size;
      break;
    case FileType::kRtfFile:
      sector_count = (size + kRawSectorSize - 1) / kRawSectorSize;
      byte_size = sector_count * kForm1DataSize;
      break;
    default:
      break;
  }
}

}  // namespace vcd2
