#pragma once

#include <cstdint>
#include <vector>

#include "media/audio_frame_header.h"

namespace vcd2 {

// One MPEG-1 Layer II frame of silence, without the padding slot, for the
// bit rate, sampling rate and mode of header; empty, after a message, when
// the encoders cannot be loaded.
std::vector<uint8_t> EncodeSilentFrame(const AudioFrameHeader& header);

}  // namespace vcd2
