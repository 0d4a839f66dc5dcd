// Feeds arbitrary bytes as the MPEG-1 system stream of an MPEG track: the
// pack reader, the pack placement with its fillers, the entry scanner and
// the content type, into sectors that are finished and dropped.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "media/source_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vcd2;
  fuzz::Quiet();
  FileRef file(fuzz::WriteInput("stream.mpg", data, size));
  file.SetFileType(FileType::kMpegSystem);
  VcdProject project;
  MpegTrack track(file, "T", 1);
  fuzz::DiscardingWriter writer;
  (void)WriteSourceSectors(project, writer, track, 0, 1, true);
  return 0;
}
