#pragma once

#include <cstdint>  // before libav's headers, which need its constant macros

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <memory>
#include <string>

#include "media/av_handles.h"

namespace vcd2 {

// One stream of a media file and its decoder. Frames come out with their
// times in seconds from the file's start, as pts in the stream's time base.
class ClipSource {
 public:
  enum class Opened { kOk, kUnreadable, kNotMedia, kNoStream };

  // Opens the file and its default stream of the type, decoding on threads
  // (0: one per core).
  Opened Open(const std::string& path, AVMediaType type, int threads);
  // Starts reading a little before seconds, so that a cut can begin there.
  void SeekNear(double seconds);

  // The next decoded frame; false at the end. Packets that do not decode are
  // passed over and counted.
  bool ReadFrame(AVFrame* frame);

  const AVCodecContext& Decoder() const { return *decoder_; }
  AVRational TimeBase() const { return stream_->time_base; }
  // The clip's length from its start, seconds; 0 when unknown.
  double Duration() const;
  // Display rotation in clockwise degrees: 0, 90, 180 or 270.
  int Rotation() const;
  int DecodeErrors() const { return errors_; }
  double FirstErrorTime() const { return first_error_; }

 private:
  bool SendNextPacket();
  void NoteError();

  AvInput format_;
  AVStream* stream_ = nullptr;
  AvCodec decoder_;
  AvPacket packet_;
  int64_t origin_ = 0;  // the file's start in the stream's time base
  int64_t last_pts_ = 0;
  bool flushed_ = false;
  int errors_ = 0;
  double first_error_ = 0;
};

}  // namespace vcd2
