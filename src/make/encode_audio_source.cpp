#include "make/encode_audio_source.h"

#include <cerrno>
#include <cstring>

#include "base/error_reporter.h"
#include "base/file_error.h"
#include "base/unique_file.h"
#include "make/make_codecs.h"
#include "make/pcm_format.h"
#include "make/pcm_samples.h"

namespace vcd2 {
namespace {

MpegAudioMode ModeOf(uint32_t mode_code) {
  switch (mode_code) {
    case 0:
      return MpegAudioMode::kSingleChannel;
    case 1:
      return MpegAudioMode::kStereo;
    case 3:
      return MpegAudioMode::kDualChannel;
    default:
      return MpegAudioMode::kJointStereo;
  }
}

}  // namespace

Status EncodeAudioSource(const std::string& target, const std::string& source, FileType file_mode,
                         uint8_t bitrate_code, uint32_t mode_code, const std::atomic<bool>& abort) {
  const MakeCodecs* codecs = LoadMakeCodecs();
  if (codecs == nullptr) return false;
  UniqueFile file(std::fopen(source.c_str(), "rb"));
  if (!file) {
    ReportError("Could not read file %s (%s).", source.c_str(), std::strerror(errno));
    throw FileError(source + ": cannot be opened");
  }
  PcmFormat format;
  if (!ReadSourceFormat(file.get(), file_mode, format)) return false;
  if (format.rate > kMpegAudioRate) {
    ReportError("Sampling rate of %s is %u Hz; MAKE MPA takes at most 44100 Hz.", source.c_str(),
                format.rate);
    return false;
  }
  if (fseeko(file.get(), format.offset, SEEK_SET) != 0) return false;
  const AudioCoderParams params{.target_path = target,
                                .sampling_rate = kMpegAudioRate,
                                .mode = ModeOf(mode_code),
                                .bitrate_code = bitrate_code};
  PcmSamples samples(format, file.get(), params.mode == MpegAudioMode::kSingleChannel);
  return codecs->encode_audio(
      params,
      [&](std::span<int16_t> left, std::span<int16_t> right) { return samples.Read(left, right); },
      abort);
}

}  // namespace vcd2
