#pragma once

#include <cstdint>
#include <cstdio>

#include "base/status.h"
#include "model/codes.h"

namespace vcd2 {

// How the samples of a sound source are stored.
struct PcmFormat {
  uint32_t rate = 0;       // sampling rate in Hz
  int64_t offset = 0;      // of the first sample byte in the file
  bool byte_swap = false;  // 16-bit samples stored most significant byte first
  bool eight_bit = false;
  bool mono = false;
  uint8_t xor_value = 0;  // applied to every 8-bit sample: 0x80 turns unsigned into signed
};

inline constexpr uint32_t kMpegAudioRate = 44100;
// Below this a source rate is taken for a damaged header.
inline constexpr uint32_t kLowestSourceRate = 10;

// RIFF WAVE: the "fmt " chunk and the start of the "data" chunk, whose size
// is not used: the samples run to the end of the file.
Status ReadWaveFormat(std::FILE* file, PcmFormat& format);

// AIFF: the COMM chunk and the start of the SSND chunk's body.
Status ReadAiffFormat(std::FILE* file, PcmFormat& format);

// Raw PCM is always 16-bit stereo at 44100 Hz from the first byte; the
// caller sets the byte order.
PcmFormat ReadRawFormat();

// The format of a source by its FileType: WAVE, AIFF, PCMM (most
// significant byte first) or PCML. Only an illegal file mode is reported.
Status ReadSourceFormat(std::FILE* file, FileType file_mode, PcmFormat& format);

}  // namespace vcd2
