#include "make/audio_coder.h"

#include <twolame.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/unique_file.h"
#include "make/pending_file.h"

namespace vcd2 {
namespace {

constexpr uint8_t kFirstBitrateCode = 3;
constexpr int kBitrates[] = {64, 96, 128, 192, 224, 384};  // kbit/s from code 3 on
constexpr int kHighestSingleChannelBitrate = 192;          // of Layer II
constexpr size_t kSamplesPerCall = 1152;                   // a frame: abort is seen every frame
// twolame's bound on the bytes one call may produce.
constexpr size_t kOutputBytes = kSamplesPerCall * 5 / 4 + 7200;

struct TwolameCloser {
  void operator()(twolame_options* options) const { twolame_close(&options); }
};
using Twolame = std::unique_ptr<twolame_options, TwolameCloser>;

TWOLAME_MPEG_mode TwolameMode(MpegAudioMode mode) {
  switch (mode) {
    case MpegAudioMode::kJointStereo:
      return TWOLAME_JOINT_STEREO;
    case MpegAudioMode::kDualChannel:
      return TWOLAME_DUAL_CHANNEL;
    case MpegAudioMode::kSingleChannel:
      return TWOLAME_MONO;
    default:
      return TWOLAME_STEREO;
  }
}

// An encoder set up for the parameters, or none for a combination that
// Layer II does not have.
Twolame OpenEncoder(const AudioCoderParams& params) {
  const size_t index = params.bitrate_code - size_t{kFirstBitrateCode};
  if (params.bitrate_code < kFirstBitrateCode || index >= std::size(kBitrates)) return nullptr;
  const bool single = params.mode == MpegAudioMode::kSingleChannel;
  if (single && kBitrates[index] > kHighestSingleChannelBitrate) return nullptr;
  Twolame encoder(twolame_init());
  if (!encoder) return nullptr;
  twolame_options* options = encoder.get();
  twolame_set_verbosity(options, 0);
  twolame_set_version(options, TWOLAME_MPEG1);
  twolame_set_num_channels(options, single ? 1 : 2);
  twolame_set_in_samplerate(options, static_cast<int>(params.sampling_rate));
  twolame_set_out_samplerate(options, static_cast<int>(params.sampling_rate));
  twolame_set_mode(options, TwolameMode(params.mode));
  twolame_set_bitrate(options, kBitrates[index]);
  twolame_set_padding(options, TWOLAME_PAD_ALL);
  if (twolame_init_params(options) != 0) return nullptr;
  return encoder;
}

bool Put(std::FILE* file, const std::vector<uint8_t>& bytes, int count) {
  return count >= 0 && std::fwrite(bytes.data(), 1, static_cast<size_t>(count), file) ==
                           static_cast<size_t>(count);
}

}  // namespace

Status EncodeAudio(const AudioCoderParams& params, const SampleCallback& samples,
                   const std::atomic<bool>& abort) {
  const Twolame encoder = OpenEncoder(params);
  PendingFile target(params.target_path);
  if (!encoder || !target.Created()) return false;
  UniqueFile file(std::fopen(target.Path().c_str(), "wb"));
  if (!file) return false;
  const bool single = params.mode == MpegAudioMode::kSingleChannel;
  std::vector<int16_t> left(kSamplesPerCall);
  std::vector<int16_t> right(kSamplesPerCall);
  std::vector<uint8_t> output(kOutputBytes);
  const int output_size = static_cast<int>(output.size());
  bool wrote = false;
  for (;;) {
    if (abort) return false;
    const uint32_t delivered = samples(left, right);
    if (delivered == 0) break;
    const auto per_channel =
        static_cast<int>(std::min<size_t>(single ? delivered : delivered / 2, left.size()));
    const int count = twolame_encode_buffer(encoder.get(), left.data(), right.data(), per_channel,
                                            output.data(), output_size);
    if (!Put(file.get(), output, count)) return false;
    wrote = wrote || count > 0;
  }
  const int count = twolame_encode_flush(encoder.get(), output.data(), output_size);
  if (!Put(file.get(), output, count)) return false;
  wrote = wrote || count > 0;
  return wrote && std::fclose(file.release()) == 0 && target.Commit();
}

std::vector<uint8_t> EncodeSilence(const AudioFrameHeader& header, size_t size) {
  static constexpr TWOLAME_MPEG_mode kModes[] = {TWOLAME_STEREO, TWOLAME_JOINT_STEREO,
                                                 TWOLAME_DUAL_CHANNEL, TWOLAME_MONO};
  const Twolame options(twolame_init());
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

}  // namespace vcd2
