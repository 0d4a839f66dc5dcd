// GENRTF sources: each part's file fills sectors of its own form, with the
// part's submode and, on its last sector, the part's closing submode.
#include "media/source_file.h"
#include "media/source_writer.h"
#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

Status WritePart(SourceContext& context, const RtfPart& part) {
  const UniqueFile file = OpenSource(part.NewFullPath().value_or(""));
  if (!file) return false;
  const size_t data_size =
      part.GetFileType() == FileType::kForm1Part ? kForm1DataSize : kForm2DataSize;
  return CopyInPieces(context, file.get(), data_size, part.submode, part.last_submode,
                      kForm1DataSize);  // Form 2 sectors count 2048 bytes too
}

}  // namespace

Status WritePartsFile(SourceContext& context) {
  const auto& parts = static_cast<const RtfFile&>(context.item).parts;
  uint64_t total = 0;
  for (const auto& part : parts) total += SourceSize(part->NewFullPath().value_or(""));
  StartSectorProgress(total / kForm1DataSize);
  for (const auto& part : parts) {
    if (!WritePart(context, *part)) return false;
  }
  return true;
}

}  // namespace vcd2
