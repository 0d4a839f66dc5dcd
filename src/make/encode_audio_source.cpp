#include "make/encode_audio_source.h"

#include <cerrno>
#include <cstring>
#include <iterator>

#include "base/error_reporter.h"
#include "base/file_error.h"
#include "base/unique_file.h"
#include "make/make_codecs.h"
#include "make/pcm_format.h"
#include "make/sound_feed.h"

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

// Layer II has no single-channel stream at 224 and 384 kbit/s (codes 7 and 8).
constexpr uint8_t kFirstTwoChannelOnlyCode = 7;
constexpr const char* kTwoChannelOnlyRates[] = {"224", "384"};

bool IsSoundMode(FileType file_mode) {
  return file_mode == FileType::kWave || file_mode == FileType::kAiff ||
         file_mode == FileType::kPcmBigEndian || file_mode == FileType::kPcmLittleEndian;
}

}  // namespace

Status EncodeAudioSource(const std::string& target, const std::string& source, FileType file_mode,
                         uint8_t bitrate_code, uint32_t mode_code, const std::atomic<bool>& abort) {
  if (!IsSoundMode(file_mode)) {
    ReportError("Illegal filemode for Audio source file.");
    return false;
  }
  const MakeCodecs* codecs = LoadMakeCodecs();
  if (codecs == nullptr) return false;
  UniqueFile file(std::fopen(source.c_str(), "rb"));
  if (!file) {
    ReportError("Could not read file %s (%s).", source.c_str(), std::strerror(errno));
    throw FileError(source + ": cannot be opened");
  }
  if (mode_code == 0 && bitrate_code >= kFirstTwoChannelOnlyCode &&
      bitrate_code < kFirstTwoChannelOnlyCode + std::size(kTwoChannelOnlyRates)) {
    ReportError(
        "Could not encode MPEG AUDIO from %s.\r\nMPEG audio has no mono (M) at %s kbit/s; "
        "take 192M or less, or S, I or D.",
        source.c_str(), kTwoChannelOnlyRates[bitrate_code - kFirstTwoChannelOnlyCode]);
    return false;
  }
  PcmFormat format;
  std::string why;
  if (!ReadSoundHeader(file.get(), source, file_mode, format, why)) {
    ReportError("Could not encode MPEG AUDIO from %s.\r\n%s", source.c_str(), why.c_str());
    return false;
  }
  if (format.cut_short) {
    ReportWarning(
        "%s: the sound data is cut short by the end of the file; what is there is "
        "encoded.",
        source.c_str());
  }
  const AudioCoderParams params{.target_path = target,
                                .sampling_rate = kMpegAudioRate,
                                .mode = ModeOf(mode_code),
                                .bitrate_code = bitrate_code};
  const int channels = params.mode == MpegAudioMode::kSingleChannel ? 1 : 2;
  std::unique_ptr<Resampler> resampler;
  if (format.rate != kMpegAudioRate) {
    resampler = codecs->open_resampler(format.rate, kMpegAudioRate, channels);
  }
  const bool ready = fseeko(file.get(), format.offset, SEEK_SET) == 0 &&
                     (format.rate == kMpegAudioRate || resampler);
  PcmSamples samples(format, file.get(), channels);
  SoundFeed feed(samples, std::move(resampler), channels, format.rate);
  if (ready &&
      codecs->encode_audio(
          params,
          [&](std::span<int16_t> left, std::span<int16_t> right) { return feed.Fill(left, right); },
          abort) &&
      feed.Ok()) {
    return true;
  }
  if (!abort) ReportError("Could not encode MPEG AUDIO from %s.", source.c_str());
  return false;
}

}  // namespace vcd2
