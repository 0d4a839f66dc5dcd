#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/status.h"
#include "media/audio_frame_header.h"

namespace vcd2 {

// MPEG audio modes as the frame header numbers them.
enum class MpegAudioMode : uint32_t {
  kStereo = 0,
  kJointStereo = 1,
  kDualChannel = 2,
  kSingleChannel = 3,
};

struct AudioCoderParams {
  std::string target_path;
  uint32_t sampling_rate = 44100;
  MpegAudioMode mode = MpegAudioMode::kStereo;
  uint8_t bitrate_code = 0;  // as MAKE MPA gives it: 3 for 64 up to 8 for 384 kbit/s
};

// Fills one buffer per channel and returns the samples delivered: the
// buffer size for single-channel output, twice that otherwise; 0 ends the
// encoding.
using SampleCallback = std::function<uint32_t(std::span<int16_t> left, std::span<int16_t> right)>;

// The codec module holds the two encoders below; MAKE calls them through
// LoadMakeCodecs.

// Encodes the samples as MPEG-1 Layer II into the target file; a 44100 Hz
// stream pads its frames so that it keeps time. Fails without a message
// when the mode and bit rate do not go together, when writing fails or
// when abort is set; the target is then left as it was.
Status EncodeAudio(const AudioCoderParams& params, const SampleCallback& samples,
                   const std::atomic<bool>& abort);

// The frame of size bytes, padding slot left out, that twolame makes from
// 1152 zero samples for the header's bit rate, sampling rate and mode; empty
// when it refuses them.
std::vector<uint8_t> EncodeSilence(const AudioFrameHeader& header, size_t size);

}  // namespace vcd2
