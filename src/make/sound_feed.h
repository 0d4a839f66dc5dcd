#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "make/pcm_samples.h"
#include "make/resampler.h"

namespace vcd2 {

// The samples of a sound source as the MPEG audio encoder takes them:
// decoded and mixed by PcmSamples, brought to 44100 Hz by the resampler (none
// for a source at 44100 Hz) and rounded to 16 bits. Holds a bounded block of
// samples whatever the length of the source.
class SoundFeed {
 public:
  SoundFeed(PcmSamples& samples, std::unique_ptr<Resampler> resampler, int channels,
            uint32_t source_rate);

  // Fills left (and right for two channels) from the start and returns the
  // samples delivered, counted over both channels; fewer than the buffers
  // hold at the end of the source, 0 after it.
  uint32_t Fill(std::span<int16_t> left, std::span<int16_t> right);
  // False when the resampler failed.
  bool Ok() const { return ok_; }

 private:
  bool Refill();

  PcmSamples& samples_;
  std::unique_ptr<Resampler> resampler_;
  int channels_;
  std::vector<float> block_;  // source frames read at a time
  std::vector<float> ready_;  // at 44100 Hz
  size_t taken_ = 0;          // samples of ready_ delivered
  bool ended_ = false;
  bool ok_ = true;
};

}  // namespace vcd2
