// IFF DYUV pictures: the IDAT chunk of a FORM of type IMAG, in Form 1
// sectors.
#include <optional>

#include "base/chunk_walker.h"
#include "base/error_reporter.h"
#include "base/progress.h"
#include "media/source_file.h"
#include "media/source_writer.h"
#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

void NoIffFile(const std::string& path) {
  ReportError("No IFF file.\r\n%s: no FORM of type IMAG.", path.c_str());
}

// Walks 12-byte groups up to the FORM: CAT chunks of other types are
// skipped, CAT IMAG is entered, anything else is passed over.
Status FindImageForm(IffWalker& walker, const std::string& path) {
  for (;;) {
    const auto header = walker.ReadHeader();
    const auto type = walker.ReadType();
    if (!header || !type) {
      NoIffFile(path);
      return false;
    }
    if (AbortRequested()) return false;
    if (header->Is("FORM")) {
      if (IsFourCc(*type, "IMAG")) return true;
      NoIffFile(path);
      return false;
    }
    if (header->Is("CAT ") && !IsFourCc(*type, "IMAG") && !walker.Skip(*header)) {
      NoIffFile(path);
      return false;
    }
  }
}

// Reads 8-byte groups, bodies not skipped, up to an IDAT chunk, which must
// lie within the file.
std::optional<ChunkHeader> FindImageData(IffWalker& walker, const std::string& path) {
  for (;;) {
    const auto group = walker.ReadHeader();
    if (group && !group->Is("IDAT")) continue;
    if (!group) {
      ReportError("No IDAT chunk.\r\n%s: the FORM IMAG holds no IDAT chunk.", path.c_str());
    } else if (!walker.Fits(*group)) {
      ReportError("The IDAT chunk of %s claims %u bytes; the file holds %lld behind its header.",
                  path.c_str(), static_cast<unsigned>(group->size),
                  static_cast<long long>(walker.FileSize() - group->body));
    } else {
      return group;
    }
    return std::nullopt;
  }
}

}  // namespace

Status WriteIffFile(SourceContext& context) {
  const std::string path = context.item.NewFullPath().value_or("");
  StartSectorProgress(SourceSize(path) / kForm1DataSize);
  const UniqueFile file = OpenSource(path);
  if (!file) return false;
  IffWalker walker(file.get());
  if (!FindImageForm(walker, path)) return false;
  const auto image_data = FindImageData(walker, path);
  if (!image_data) return false;
  int64_t remaining = image_data->size;
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
