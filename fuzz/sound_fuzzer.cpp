// Feeds arbitrary bytes to the WAVE and AIFF readers and converts the
// samples of whatever they accept. Every input must end in a clean refusal
// or a bounded run of samples.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "fuzz_support.h"
#include "make/pcm_format.h"
#include "make/pcm_samples.h"

namespace {

constexpr size_t kBufferSamples = 1152;

void ReadAs(const uint8_t* data, size_t size, vcd2::FileType type) {
  const vcd2::UniqueFile file = vcd2::fuzz::OpenBytes(data, size);
  if (!file) return;
  vcd2::PcmFormat format;
  if (!vcd2::ReadSourceFormat(file.get(), type, format) || format.rate > vcd2::kMpegAudioRate ||
      fseeko(file.get(), format.offset, SEEK_SET) != 0) {
    return;
  }
  for (bool mono_output : {false, true}) {
    fseeko(file.get(), format.offset, SEEK_SET);
    vcd2::PcmSamples samples(format, file.get(), mono_output);
    std::vector<int16_t> left(kBufferSamples), right(kBufferSamples);
    while (samples.Read(left, right) != 0) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadAs(data, size, vcd2::FileType::kWave);
  ReadAs(data, size, vcd2::FileType::kAiff);
  return 0;
}
