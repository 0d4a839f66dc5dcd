#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "make/channel_mix.h"
#include "make/pcm_format.h"

namespace vcd2 {

// Decodes the samples of a sound source, at its own sampling rate, to
// interleaved float samples of full scale 1, mixed down to stereo or mono.
class PcmSamples {
 public:
  // Reads from file's current position, format.offset, up to format.end.
  PcmSamples(const PcmFormat& format, std::FILE* file, int out_channels);

  // Fills whole frames of out (out_channels samples each) and returns how
  // many; fewer at the end of the samples, 0 after it. A frame cut short by
  // the end is left out.
  size_t Read(std::span<float> out);

 private:
  float Sample(const uint8_t* p) const;

  PcmFormat format_;
  std::FILE* file_;
  int out_channels_;
  ChannelMix mix_;
  int64_t left_;  // bytes up to format.end
  std::vector<uint8_t> bytes_;
  std::vector<float> frame_;
};

// 16-bit samples from float ones, rounded and limited to full scale.
int16_t ToSample16(float value);

}  // namespace vcd2
