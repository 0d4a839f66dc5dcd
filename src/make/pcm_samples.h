#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "make/pcm_format.h"

namespace vcd2 {

// Delivers a sound source as 16-bit samples at 44100 Hz, one buffer per
// channel. Sources at 22050 or 11025 Hz have each sample repeated 2 or 4
// times; other rates repeat 44100 / rate times, rounded down.
class PcmSamples {
 public:
  // Reads from file's current position to its end. Mono output keeps the
  // left channel and drops the right; a mono source feeds both channels.
  PcmSamples(const PcmFormat& format, std::FILE* file, bool mono_output);

  // Fills left and right (of equal size); the samples delivered are
  // left.size() for mono output and twice that otherwise, 0 at the end of
  // the source. A short read at the end is filled with silence.
  uint32_t Read(std::span<int16_t> left, std::span<int16_t> right);

 private:
  int16_t Next(const uint8_t*& p) const;

  PcmFormat format_;
  std::FILE* file_;
  bool mono_output_;
  uint32_t repeat_;
  std::vector<uint8_t> buffer_;
};

}  // namespace vcd2
