#include "make/silent_frame.h"

#include <twolame.h>

#include <memory>

namespace vcd2 {
namespace {

struct TwolameCloser {
  void operator()(twolame_options* options) const { twolame_close(&options); }
};

// Layer II allows no mono above 192 kbit/s and no two channels at 32, 48, 56
// or 80 kbit/s, yet encoders write such streams.
bool LayerTwoAllows(const AudioFrameHeader& header) {
  if (header.mode == AudioFrameHeader::kMono) return header.bit_rate <= 192;
  return header.bit_rate >= 64 && header.bit_rate != 80;
}

// The frame as the encoder makes it from 1152 zero samples; empty if it
// fails.
std::vector<uint8_t> EncodeWithTwolame(const AudioFrameHeader& header, size_t size) {
  static constexpr TWOLAME_MPEG_mode kModes[] = {TWOLAME_STEREO, TWOLAME_JOINT_STEREO,
                                                 TWOLAME_DUAL_CHANNEL, TWOLAME_MONO};
  const std::unique_ptr<twolame_options, TwolameCloser> options(twolame_init());
  if (!options) return {};
  const int channels = header.mode == AudioFrameHeader::kMono ? 1 : 2;
  const int rate = static_cast<int>(header.sampling_rate);
  twolame_set_verbosity(options.get(), 0);
  twolame_set_num_channels(options.get(), channels);
  twolame_set_in_samplerate(options.get(), rate);
  twolame_set_out_samplerate(options.get(), rate);
  twolame_set_version(options.get(), TWOLAME_MPEG1);
  twolame_set_mode(options.get(), kModes[header.mode]);
  twolame_set_bitrate(options.get(), static_cast<int>(header.bit_rate));
  twolame_set_padding(options.get(), TWOLAME_PAD_NO);
  twolame_set_error_protection(options.get(), 0);
  if (twolame_init_params(options.get()) != 0) return {};
  std::vector<short> samples(kSamplesPerFrame * static_cast<size_t>(channels), 0);
  std::vector<uint8_t> frame(size + kAudioFrameHeaderSize);
  const int made =
      twolame_encode_buffer_interleaved(options.get(), samples.data(), kSamplesPerFrame,
                                        frame.data(), static_cast<int>(frame.size()));
  if (made < 0 || static_cast<size_t>(made) != size) return {};
  frame.resize(size);
  return frame;
}

}  // namespace

// The encoder refuses what Layer II does not allow; such a stream's silent
// frame allocates no bits to any subband, which decodes to silence in every
// mode.
std::vector<uint8_t> EncodeSilentFrame(const AudioFrameHeader& header) {
  AudioFrameHeader plain = header;
  plain.padding = false;
  const size_t size = plain.FrameSize();
  std::vector<uint8_t> frame;
  if (LayerTwoAllows(plain)) frame = EncodeWithTwolame(plain, size);
  if (!frame.empty()) return frame;
  frame.assign(size, 0);
  frame[0] = 0xFF;
  frame[1] = 0xFD;  // MPEG-1 Layer II without CRC
  frame[2] = static_cast<uint8_t>(header.bit_rate_index << 4 | header.sampling_index << 2);
  frame[3] = static_cast<uint8_t>(header.mode << 6);
  return frame;
}

}  // namespace vcd2
