#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "base/status.h"
#include "model/codes.h"

namespace vcd2 {

// Encodes a WAVE, AIFF or raw PCM source (file_mode 2 to 5, the source's
// FileType) as MPEG audio at 44100 Hz, resampling other rates. mode_code is
// the rule's channel mode: 0 mono, 1 stereo, 2 joint stereo, 3 dual channel.
// Every failure but a stop by abort is reported: a source MAKE MPA does not
// take as "Could not encode MPEG AUDIO from %s." with a line saying why.
Status EncodeAudioSource(const std::string& target, const std::string& source, FileType file_mode,
                         uint8_t bitrate_code, uint32_t mode_code, const std::atomic<bool>& abort);

}  // namespace vcd2
