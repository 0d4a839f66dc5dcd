#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vcd2 {

// Brings interleaved float samples from one sampling rate to another.
class Resampler {
 public:
  virtual ~Resampler() = default;
  // Appends to out the samples the input gives; an empty input gives what
  // the filter still holds, once the input is over. False on failure.
  virtual bool Convert(std::span<const float> in, std::vector<float>& out) = 0;
};

// In the codec module: libswresample with the SoX resampler at high
// precision; null when it cannot be set up.
std::unique_ptr<Resampler> OpenResampler(uint32_t in_rate, uint32_t out_rate, int channels);

}  // namespace vcd2
