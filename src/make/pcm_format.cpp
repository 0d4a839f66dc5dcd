#include "make/pcm_format.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/unique_file.h"

namespace vcd2 {
namespace {

constexpr uint32_t kUnknownLength = 0xFFFFFFFF;

// What MAKE MPA cannot take from a header that was read; empty when it takes it.
std::string Refusal(const PcmFormat& format, int64_t file_size) {
  if (format.rate < kLowestSourceRate || format.rate > kHighestSourceRate) {
    return "the sampling rate of " + std::to_string(format.rate) + " Hz is outside " +
           std::to_string(kLowestSourceRate) + " to " + std::to_string(kHighestSourceRate) + " Hz";
  }
  if (format.channels == 0 || format.channels > kMostSourceChannels) {
    return std::to_string(format.channels) + " channels, where 1 to " +
           std::to_string(kMostSourceChannels) + " are mixed down";
  }
  const int64_t end = std::min(format.end, file_size);
  if (end - format.offset < static_cast<int64_t>(format.FrameBytes())) {
    return "it holds no samples";
  }
  return {};
}

}  // namespace

int64_t SampleDataEnd(int64_t body, uint32_t size, int64_t file_size, bool& cut_short) {
  if (size == 0 || size == kUnknownLength) return PcmFormat::kToEnd;
  if (body + size > file_size) {
    cut_short = true;
    return PcmFormat::kToEnd;
  }
  return body + size;
}

PcmFormat ReadRawFormat(FileType file_mode) {
  return PcmFormat{.rate = kMpegAudioRate, .big_endian = file_mode == FileType::kPcmBigEndian};
}

bool ReadSoundHeader(std::FILE* file, const std::string& path, FileType file_mode,
                     PcmFormat& format, std::string& why) {
  bool read = true;
  why.clear();
  switch (file_mode) {
    case FileType::kWave:
      read = ReadWaveFormat(file, format, why);
      break;
    case FileType::kAiff:
      read = ReadAiffFormat(file, format, why);
      break;
    case FileType::kPcmBigEndian:
    case FileType::kPcmLittleEndian:
      format = ReadRawFormat(file_mode);
      break;
    default:
      why = "it is not given as WAVE, AIFF, PCML or PCMM";
      read = false;
  }
  if (read) {
    why = fseeko(file, 0, SEEK_END) == 0 ? Refusal(format, ftello(file)) : "it cannot be read";
  }
  if (why.empty()) return true;
  why = path + ": " + why + ".";
  return false;
}

bool CheckSoundSource(const std::string& path, FileType file_mode, std::string& why) {
  const UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    why = path + ": " + std::strerror(errno) + ".";
    return false;
  }
  PcmFormat format;
  return ReadSoundHeader(file.get(), path, file_mode, format, why);
}

}  // namespace vcd2
