// FILE sources: Form 1 sectors of 2048 bytes, the last one marked end of file.
#include "media/source_file.h"
#include "media/source_writer.h"
#include "sector/sector_layout.h"

namespace vcd2 {

Status WritePlainFile(SourceContext& context) {
  const std::string path = context.item.NewFullPath().value_or("");
  StartSectorProgress(SourceSize(path) / kForm1DataSize);
  const UniqueFile file = OpenSource(path);
  if (!file) return false;
  return CopyInPieces(context, file.get(), kForm1DataSize, submode::kData,
                      submode::kData | submode::kEndOfFile, 0);
}

}  // namespace vcd2
