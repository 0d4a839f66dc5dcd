// FILE sources: Form 1 sectors of 2048 bytes, the last one marked end of file.
#include "driver/progress.h"
#include "image/sector/sector_layout.h"
#include "media/source_file.h"
#include "media/source_writer.h"

namespace vcd2 {

Status WritePlainFile(SourceContext& context) {
  const std::string path = context.item.NewFullPath().value_or("");
  StartSectorProgress(SourceSize(path) / kForm1DataSize);
  const UniqueFile file = OpenSource(path);
  if (!file) return false;
  int ahead = std::fgetc(file.get());
  while (ahead != EOF) {
    RawSector sector{};
    uint8_t* data = sector.data() + kUserDataOffset;
    data[0] = static_cast<uint8_t>(ahead);
    const size_t count = 1 + std::fread(data + 1, 1, kForm1DataSize - 1, file.get());
    ahead = std::fgetc(file.get());
    const uint8_t mode = submode::kData | (ahead == EOF ? submode::kEndOfFile : 0);
    SetSubheader(sector, {context.file_number, 0, mode, 0});
    StepProgress();
    if (!context.writer.Write(context.next_sector, sector)) return false;
    ++context.next_sector;
    context.size += static_cast<uint32_t>(count);
    if (AbortRequested()) return false;
  }
  return true;
}

}  // namespace vcd2
