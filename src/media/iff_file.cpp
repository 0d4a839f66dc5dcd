// IFF DYUV pictures: the IDAT chunk of a FORM of type IMAG, in Form 1
// sectors.
#include <cstring>

#include "base/byte_order.h"
#include "base/error_reporter.h"
#include "base/progress.h"
#include "media/source_file.h"
#include "media/source_writer.h"
#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

bool Is(const uint8_t* bytes, const char* id) {
  return std::memcmp(bytes, id, 4) == 0;
}

// Walks chunk headers up to the FORM: CAT chunks of other types are
// skipped, CAT IMAG is entered, anything else is passed over.
Status FindImageForm(std::FILE* file) {
  uint8_t header[12];
  for (;;) {
    if (std::fread(header, 1, sizeof header, file) != sizeof header) {
      ReportError("No IFF file.");
      return false;
    }
    if (AbortRequested()) return false;
    if (Is(header, "FORM")) break;
    if (Is(header, "CAT ") && !Is(header + 8, "IMAG")) {
      const int64_t skip = int64_t{LoadBigEndian32(header + 4)} - 4;
      if (fseeko(file, static_cast<off_t>(skip), SEEK_CUR) != 0) {
        ReportError("No IFF file.");
        return false;
      }
    }
  }
  if (!Is(header + 8, "IMAG")) {
    ReportError("No IFF file.");
    return false;
  }
  return true;
}

}  // namespace

Status WriteIffFile(SourceContext& context) {
  const std::string path = context.item.NewFullPath().value_or("");
  StartSectorProgress(SourceSize(path) / kForm1DataSize);
  const UniqueFile file = OpenSource(path);
  if (!file || !FindImageForm(file.get())) return false;
  uint8_t group[8];
  do {
    if (std::fread(group, 1, sizeof group, file.get()) != sizeof group) {
      ReportError("No IDAT chunk.");
      return false;
    }
  } while (!Is(group, "IDAT"));
  int64_t remaining = LoadBigEndian32(group + 4);
  while (remaining > 0) {
    RawSector sector{};
    const size_t read = std::fread(sector.data() + kUserDataOffset, 1, kForm1DataSize, file.get());
    const bool last = remaining <= static_cast<int64_t>(kForm1DataSize);
    SetSubheader(sector,
                 {context.file_number, 0,
                  static_cast<uint8_t>(submode::kData | (last ? submode::kEndOfFile : 0)), 0});
    if (!PutSector(context, sector, static_cast<uint32_t>(read))) return false;
    remaining -= static_cast<int64_t>(kForm1DataSize);
  }
  return true;
}

}  // namespace vcd2
