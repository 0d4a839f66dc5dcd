// Feeds arbitrary bytes as an IFFDYUV picture: the chunk walk to the FORM
// of type IMAG and the copy of its IDAT chunk; and as a picture for MAKE
// STILL, whose header decides whether it is taken.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "make/picture_header.h"
#include "media/source_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vcd2;
  fuzz::Quiet();
  VcdProject project;
  const std::string path = fuzz::WriteInput("picture.iff", data, size);
  std::string why;
  (void)AcceptPicture(path, why);
  CdiFile picture(FileRef(path), "P.IFF", FileType::kIffDyuv);
  fuzz::DiscardingWriter writer;
  (void)WriteSourceSectors(project, writer, picture, 0, 1);
  return 0;
}
