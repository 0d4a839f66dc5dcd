#include "make/sound_feed.h"

#include <algorithm>

namespace vcd2 {
namespace {

// Source frames read at a time: about 4096 frames' worth at 44100 Hz.
size_t BlockFrames(uint32_t source_rate) {
  return std::max<size_t>(64, size_t{4096} * source_rate / kMpegAudioRate);
}

}  // namespace

SoundFeed::SoundFeed(PcmSamples& samples, std::unique_ptr<Resampler> resampler, int channels,
                     uint32_t source_rate)
    : samples_(samples),
      resampler_(std::move(resampler)),
      channels_(channels),
      block_(BlockFrames(source_rate) * static_cast<size_t>(channels)) {}

// More samples into ready_; false once nothing more comes. The resampler
// gives what it holds back after the source's end.
bool SoundFeed::Refill() {
  ready_.erase(ready_.begin(), ready_.begin() + static_cast<ptrdiff_t>(taken_));
  taken_ = 0;
  const size_t before = ready_.size();
  while (!ended_ && ready_.size() == before) {
    const size_t frames = samples_.Read(block_);
    const std::span<const float> read(block_.data(), frames * static_cast<size_t>(channels_));
    if (!resampler_) {
      ready_.insert(ready_.end(), read.begin(), read.end());
    } else if (!resampler_->Convert(read, ready_)) {
      ok_ = false;
    }
    ended_ = frames == 0 || !ok_;
  }
  return ready_.size() > before;
}

uint32_t SoundFeed::Fill(std::span<int16_t> left, std::span<int16_t> right) {
  const size_t wanted = left.size() * static_cast<size_t>(channels_);
  while (ready_.size() - taken_ < wanted && Refill()) {
  }
  const size_t frames = std::min(wanted, ready_.size() - taken_) / static_cast<size_t>(channels_);
  const float* from = ready_.data() + taken_;
  for (size_t i = 0; i < frames; ++i) {
    left[i] = ToSample16(*from++);
    if (channels_ == 2) right[i] = ToSample16(*from++);
  }
  taken_ += frames * static_cast<size_t>(channels_);
  return static_cast<uint32_t>(frames * static_cast<size_t>(channels_));
}

}  // namespace vcd2
