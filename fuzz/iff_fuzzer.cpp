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
  (void)WriteSourceSectors(project, writer, picture, 0, 1);
  return 0;
}
