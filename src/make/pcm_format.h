#pragma once

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "model/codes.h"

namespace vcd2 {

// How each sample of a sound source is coded.
enum class SampleCoding : uint8_t {
  kSigned,    // two's complement integer, left-justified in its bytes
  kUnsigned,  // 8-bit WAVE: 0x80 is silence
  kFloat,     // IEEE float of 4 or 8 bytes
  kMuLaw,     // G.711, one byte
  kALaw,      // G.711, one byte
};

// How the samples of a sound source are stored.
struct PcmFormat {
  static constexpr int64_t kToEnd = std::numeric_limits<int64_t>::max();

  uint32_t rate = 0;  // sampling rate in Hz
  uint16_t channels = 2;
  uint32_t channel_mask = 0;  // WAVE speaker positions; 0 for the usual order
  SampleCoding coding = SampleCoding::kSigned;
  uint8_t sample_bytes = 2;
  bool big_endian = false;
  int64_t offset = 0;      // of the first sample byte in the file
  int64_t end = kToEnd;    // after the last sample byte; kToEnd: the end of the file
  bool cut_short = false;  // the stated length runs past the end of the file

  size_t FrameBytes() const { return size_t{channels} * sample_bytes; }
};

inline constexpr uint32_t kMpegAudioRate = 44100;
// Sampling rates and channel counts MAKE MPA takes.
inline constexpr uint32_t kLowestSourceRate = 1000;
inline constexpr uint32_t kHighestSourceRate = 768000;
inline constexpr uint16_t kMostSourceChannels = 32;

// RIFF WAVE: the "fmt " chunk (PCM, IEEE float, mu-law, A-law, also as
// WAVE_FORMAT_EXTENSIBLE) and the "data" chunk. False with the reason in why
// (without the file's name).
bool ReadWaveFormat(std::FILE* file, PcmFormat& format, std::string& why);

// AIFF and AIFF-C (uncompressed, either byte order, float, mu-law, A-law):
// the COMM chunk and the samples of the SSND chunk.
bool ReadAiffFormat(std::FILE* file, PcmFormat& format, std::string& why);

// Raw PCM is 16-bit stereo at 44100 Hz from the first byte; PCMM stores
// the most significant byte first.
PcmFormat ReadRawFormat(FileType file_mode);

// The one decision whether MAKE MPA takes a sound source: reads the header
// by file mode (WAVE, AIFF, PCMM or PCML) and checks the sample layout, the
// sampling rate and the channels. False with why holding one line that names
// the file and gives the reason.
bool ReadSoundHeader(std::FILE* file, const std::string& path, FileType file_mode,
                     PcmFormat& format, std::string& why);

// ReadSoundHeader for a file by its path, for a check that encodes nothing.
bool CheckSoundSource(const std::string& path, FileType file_mode, std::string& why);

// The end of the samples of a data or SSND chunk whose body starts at body:
// by its length, or the end of the file when the length is 0 or 0xFFFFFFFF
// (a writer that could not seek back) or runs past the end (cut_short).
int64_t SampleDataEnd(int64_t body, uint32_t size, int64_t file_size, bool& cut_short);

}  // namespace vcd2
