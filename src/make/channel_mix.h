#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vcd2 {

// Weights that mix the channels of a source down to stereo or mono: the
// front pair as it is, the other left and right speakers to their side and
// centre ones to both, all at -3 dB, the low-frequency channel left out;
// scaled so that no sum exceeds full scale. Mono is the average of the stereo mix. Speaker
// positions come from the WAVE channel mask, or by the usual order of the count.
class ChannelMix {
 public:
  ChannelMix(uint16_t channels, uint32_t channel_mask, int out_channels);

  // One frame of source samples into out_channels samples.
  void Mix(std::span<const float> in, float* out) const;

 private:
  uint16_t channels_;
  int out_channels_;
  std::vector<float> weights_;  // out_channels rows of channels weights
};

}  // namespace vcd2
