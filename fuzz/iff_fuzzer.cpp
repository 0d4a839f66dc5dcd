// Feeds arbitrary bytes as an IFFDYUV picture: the chunk walk to the FORM
// of type IMAG and the copy of its IDAT chunk.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "media/source_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vcd2;
  fuzz::Quiet();
  VcdProject project;
  CdiFile picture(FileRef(fuzz::WriteInput("picture.iff", data, size)), "P.IFF",
                  FileType::kIffDyuv);
  fuzz::DiscardingWriter writer;
  int32_t next_sector = 0;
  uint32_t bytes = 0;
  (void)WriteSourceSectors(project, writer, picture, next_sector, bytes, 1);
  return 0;
}
