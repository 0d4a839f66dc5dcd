// The only place in the media layer that asks libavformat about a file.
#include "media/stream_probe.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <memory>

#include "media/av_handles.h"

namespace vcd2 {
namespace {

int AudioLayer(AVCodecID codec) {
  switch (codec) {
    case AV_CODEC_ID_MP1:
      return 1;
    case AV_CODEC_ID_MP2:
      return 2;
    case AV_CODEC_ID_MP3:
      return 3;
    default:
      return 0;
  }
}

void NoteVideo(const AVStream& stream, StreamFacts& facts) {
  const AVCodecParameters& codec = *stream.codecpar;
  facts.has_video = true;
  facts.video_codec = avcodec_get_name(codec.codec_id);
  facts.video_version = codec.codec_id == AV_CODEC_ID_MPEG1VIDEO   ? 1
                        : codec.codec_id == AV_CODEC_ID_MPEG2VIDEO ? 2
                                                                   : 0;
  facts.width = codec.width;
  facts.height = codec.height;
  if (stream.r_frame_rate.den != 0) facts.frame_rate = av_q2d(stream.r_frame_rate);
  if (facts.buffer_size == 0 && codec.bit_rate > 0) {  // no sequence header read
    facts.video_bit_rate = static_cast<uint32_t>(codec.bit_rate);
  }
}

void NoteAudio(const AVStream& stream, StreamFacts& facts) {
  const AVCodecParameters& codec = *stream.codecpar;
  facts.has_audio = true;
  facts.audio_codec = avcodec_get_name(codec.codec_id);
  facts.audio_layer = AudioLayer(codec.codec_id);
  facts.sample_rate = codec.sample_rate;
  facts.audio_bit_rate = static_cast<uint32_t>(codec.bit_rate);
  if (facts.audio_mode < 0 && codec.ch_layout.nb_channels == 1) facts.audio_mode = 3;
}

// Keeps libav's own notices off the host's stderr while a file is probed:
// what matters is reported in our own words.
class QuietLibav {
 public:
  QuietLibav() : level_(av_log_get_level()) { av_log_set_level(AV_LOG_QUIET); }
  ~QuietLibav() { av_log_set_level(level_); }
  QuietLibav(const QuietLibav&) = delete;
  QuietLibav& operator=(const QuietLibav&) = delete;

 private:
  int level_;
};

}  // namespace

bool ProbeStreams(const std::string& path, StreamFacts& facts) {
  const QuietLibav quiet;
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return false;
  AvInput format(opened);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) return false;
  bool video_wanted = !facts.has_video || facts.video_version == 0;
  bool audio_wanted = !facts.has_audio || facts.audio_layer == 0;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    const AVStream& stream = *format->streams[i];
    if (stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO && video_wanted) {
      NoteVideo(stream, facts);
      video_wanted = false;
    } else if (stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO && audio_wanted) {
      NoteAudio(stream, facts);
      audio_wanted = false;
    }
  }
  if (facts.mpeg_version == 0) facts.container = format->iformat->name;
  if (format->duration != AV_NOPTS_VALUE) {
    facts.duration = static_cast<double>(format->duration) / AV_TIME_BASE;
  }
  return true;
}

}  // namespace vcd2
