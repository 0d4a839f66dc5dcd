#include "make/channel_mix.h"

#include <algorithm>
#include <numeric>

namespace vcd2 {
namespace {

// WAVE speaker position bits.
constexpr uint32_t kLeftSpeakers = 0x1 | 0x10 | 0x40 | 0x200 | 0x1000 | 0x8000;
constexpr uint32_t kRightSpeakers = 0x2 | 0x20 | 0x80 | 0x400 | 0x4000 | 0x20000;
constexpr uint32_t kLowFrequency = 0x8;
constexpr uint32_t kFrontLeft = 0x1;
constexpr uint32_t kFrontRight = 0x2;
constexpr float kSideWeight = 0.70710678f;  // -3 dB

// The speakers of 3 to 8 channels without a mask: 3.0, quad, 5.0, 5.1,
// 6.1 and 7.1.
constexpr uint32_t kUsualMasks[] = {0x7, 0x33, 0x37, 0x3F, 0x70F, 0x63F};

uint32_t UsualMask(uint16_t channels) {
  return channels >= 3 && channels <= 8 ? kUsualMasks[channels - 3] : 0x63F;
}

}  // namespace

ChannelMix::ChannelMix(uint16_t channels, uint32_t channel_mask, int out_channels)
    : channels_(channels), out_channels_(out_channels), weights_(2 * size_t{channels}, 0) {
  float* left = weights_.data();
  float* right = left + channels;
  if (channels <= 2) {
    left[0] = 1;
    right[channels - 1] = 1;
  } else {
    uint32_t mask = channel_mask != 0 ? channel_mask : UsualMask(channels);
    for (uint16_t i = 0; i < channels; ++i) {
      // Each channel takes the lowest position left; those beyond count as centre.
      const uint32_t speaker = mask & -mask;
      mask &= mask - 1;
      if (speaker == kLowFrequency) continue;
      const bool to_left = (speaker & kRightSpeakers) == 0;
      const bool to_right = (speaker & kLeftSpeakers) == 0;
      const float weight = speaker == kFrontLeft || speaker == kFrontRight ? 1 : kSideWeight;
      if (to_left) left[i] = weight;
      if (to_right) right[i] = weight;
    }
    float most = 1;
    for (const float* row : {left, right})
      most = std::max(most, std::accumulate(row, row + channels, 0.0f));
    for (float& weight : weights_) weight /= most;
  }
  if (out_channels == 1) {
    for (uint16_t i = 0; i < channels; ++i) left[i] = (left[i] + right[i]) / 2;
    weights_.resize(channels);
  }
}

void ChannelMix::Mix(std::span<const float> in, float* out) const {
  for (int o = 0; o < out_channels_; ++o) {
    const float* row = weights_.data() + size_t(o) * channels_;
    float sum = 0;
    for (uint16_t i = 0; i < channels_; ++i) sum += row[i] * in[i];
    out[o] = sum;
  }
}

}  // namespace vcd2
