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

struct AvOutputFree {
  void operator()(AVFormatContext* format) const {
    if (format->pb != nullptr) avio_closep(&format->pb);
    avformat_free_context(format);
  }
};

// The Video CD system stream being written: an MPEG-1 video encoder at a
// constant 1,150 kbit/s with closed GOPs and a 40 KiB buffer, an MPEG-1
// Layer II encoder at 224 kbit/s stereo, and libavformat's Video CD muxer
// (2324-byte packs, 75 a second).
class ClipOutput {
 public:
  static constexpr int kSampleRate = 44100;

  bool Open(const std::string& path, bool pal, int threads);
  // Encodes a frame (null flushes the encoder) and writes its packets.
  bool WriteVideo(AVFrame* frame);
  bool WriteAudio(AVFrame* frame);
  bool Finish();
  int AudioFrameSize() const { return audio_->frame_size; }
  AVRational FrameRate() const { return video_->framerate; }

 private:
  bool Write(AVCodecContext& encoder, AVStream& stream, AVFrame* frame);

  std::unique_ptr<AVFormatContext, AvOutputFree> format_;
  AvCodec video_;
  AvCodec audio_;
  AVStream* video_stream_ = nullptr;
  AVStream* audio_stream_ = nullptr;
  AvPacket packet_;
};

}  // namespace vcd2
