#include "model/items.h"

#include <filesystem>

#include "base/error_reporter.h"
#include "image/sector/sector_layout.h"

namespace vcd2 {
namespace {

constexpr uint32_t kSectorBytes = kForm1DataSize;
constexpr uint32_t kRawSectorBytes = kRawSectorSize;

}  // namespace

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
      sector_count = (size + kSectorBytes - 1) / kSectorBytes;
      byte_size = size;
      break;
    case FileType::kTextFile:
    case FileType::kIffDyuv:
      sector_count = size / kSectorBytes;
      byte_size = size;
      break;
    case FileType::kRtfFile:
      sector_count = (size + kRawSectorBytes - 1) / kRawSectorBytes;
      byte_size = sector_count * kSectorBytes;
      break;
    default:
      break;
  }
}

}  // namespace vcd2
