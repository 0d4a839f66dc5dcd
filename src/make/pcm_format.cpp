#include "make/pcm_format.h"

#include "base/error_reporter.h"

namespace vcd2 {

PcmFormat ReadRawFormat() {
  return PcmFormat{.rate = kMpegAudioRate};
}

Status ReadSourceFormat(std::FILE* file, FileType file_mode, PcmFormat& format) {
  switch (file_mode) {
    case FileType::kWave:
      return ReadWaveFormat(file, format);
    case FileType::kAiff:
      return ReadAiffFormat(file, format);
    case FileType::kPcmBigEndian:
      format = ReadRawFormat();
      format.byte_swap = true;
      return true;
    case FileType::kPcmLittleEndian:
      format = ReadRawFormat();
      return true;
    default:
      ReportError("Illegal filemode for Audio source file.");
      return false;
  }
}

}  // namespace vcd2
