// Feeds arbitrary bytes to the disc verifier: the bytes up to the first zero
// byte are a cue sheet, the rest is the image it may name as "disc.bin";
// the image is also verified as a build's data track image.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "verify/cue_sheet.h"
#include "verify/verify_disc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vcd2;
  fuzz::Quiet();
  const uint8_t* split = std::find(data, data + size, uint8_t{0});
  const size_t cue_size = static_cast<size_t>(split - data);
  const size_t image_offset = std::min(size, cue_size + 1);
  const std::string image = fuzz::WriteInput("disc.bin", data + image_offset, size - image_offset);
  const std::string cue = fuzz::WriteInput("disc.cue", data, cue_size);
  std::string summary;
  ProblemLog from_cue;
  (void)VerifyDisc({cue}, from_cue, summary);
  ProblemLog from_image;
  (void)VerifyDisc({image}, from_image, summary);
  return 0;
}
