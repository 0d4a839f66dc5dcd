// GENRTF sources: each part's file fills sectors of its own form, with the
// part's submode and, on its last sector, the part's closing submode.
#include "driver/progress.h"
#include "image/sector/sector_layout.h"
#include "media/source_file.h"
#include "media/source_writer.h"

namespace vcd2 {
namespace {

Status WritePart(SourceContext& context, const RtfPart& part) {
  const std::string path = part.NewFullPath().value_or("");
  const UniqueFile file = OpenSource(path);
  if (!file) return false;
  const size_t data_size =
      part.GetFileType() == FileType::kForm1Part ? kForm1DataSize : kForm2DataSize;
  int ahead = std::fgetc(file.get());
  while (ahead != EOF) {
    RawSector sector{};
    uint8_t* data = sector.data() + kUserDataOffset;
    data[0] = static_cast<uint8_t>(ahead);
    std::fread(data + 1, 1, data_size - 1, file.get());
    ahead = std::fgetc(file.get());
    SetSubheader(sector,
                 {context.file_number, 0, ahead == EOF ? part.last_submode : part.submode, 0});
    StepProgress();
    if (!context.writer.Write(context.next_sector, sector)) return false;
    ++context.next_sector;
    context.size += kForm1DataSize;
    if (AbortRequested()) return false;
  }
  return true;
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
