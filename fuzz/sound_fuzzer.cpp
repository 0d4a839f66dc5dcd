// Feeds arbitrary bytes to the WAVE and AIFF readers and decodes and mixes
// the samples of whatever they accept. Every input must end in a clean refusal
// or a bounded run of samples.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
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
  std::string why;
  if (!vcd2::ReadSoundHeader(file.get(), "fuzz", type, format, why)) return;
  for (int channels : {1, 2}) {
    if (fseeko(file.get(), format.offset, SEEK_SET) != 0) return;
    vcd2::PcmSamples samples(format, file.get(), channels);
    std::vector<float> out(kBufferSamples * 2);
    while (samples.Read(out) != 0) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadAs(data, size, vcd2::FileType::kWave);
  ReadAs(data, size, vcd2::FileType::kAiff);
  return 0;
}
