#include "make/clip/clip_source.h"

extern "C" {
#include <libavutil/display.h>
}

#include <cerrno>
#include <cmath>

namespace vcd2 {
namespace {

constexpr double kSeekLead = 2.0;  // seconds read before a cut so that it starts on a decoded frame

// The stream a player would choose: the one marked default, else libav's best.
int ChooseStream(AVFormatContext& format, AVMediaType type) {
  for (unsigned i = 0; i < format.nb_streams; ++i) {
    const AVStream& stream = *format.streams[i];
    if (stream.codecpar->codec_type == type && (stream.disposition & AV_DISPOSITION_DEFAULT) &&
        !(stream.disposition & AV_DISPOSITION_ATTACHED_PIC)) {
      return static_cast<int>(i);
    }
  }
  return av_find_best_stream(&format, type, -1, -1, nullptr, 0);
}

}  // namespace

ClipSource::Opened ClipSource::Open(const std::string& path, AVMediaType type, int threads) {
  AVFormatContext* opened = nullptr;
  const int status = avformat_open_input(&opened, path.c_str(), nullptr, nullptr);
  if (status < 0) {
    return status == AVERROR(ENOENT) || status == AVERROR(EACCES) || status == AVERROR(EISDIR)
               ? Opened::kUnreadable
               : Opened::kNotMedia;
  }
  format_.reset(opened);
  if (avformat_find_stream_info(opened, nullptr) < 0) return Opened::kNotMedia;
  const int index = ChooseStream(*opened, type);
  if (index < 0) return opened->nb_streams == 0 ? Opened::kNotMedia : Opened::kNoStream;
  stream_ = opened->streams[index];
  const AVCodec* codec = avcodec_find_decoder(stream_->codecpar->codec_id);
  if (codec == nullptr) return Opened::kNoStream;
  decoder_.reset(avcodec_alloc_context3(codec));
  packet_.reset(av_packet_alloc());
  if (!decoder_ || !packet_ ||
      avcodec_parameters_to_context(decoder_.get(), stream_->codecpar) < 0) {
    return Opened::kNoStream;
  }
  decoder_->thread_count = threads;
  decoder_->pkt_timebase = stream_->time_base;
  if (avcodec_open2(decoder_.get(), codec, nullptr) < 0) return Opened::kNoStream;
  if (opened->start_time != AV_NOPTS_VALUE) {
    origin_ = av_rescale_q(opened->start_time, AV_TIME_BASE_Q, stream_->time_base);
  }
  for (unsigned i = 0; i < opened->nb_streams; ++i) {
    if (static_cast<int>(i) != index) opened->streams[i]->discard = AVDISCARD_ALL;
  }
  return Opened::kOk;
}

void ClipSource::SeekNear(double seconds) {
  if (seconds <= kSeekLead) return;
  const int64_t start = format_->start_time != AV_NOPTS_VALUE ? format_->start_time : 0;
  const auto target = static_cast<int64_t>((seconds - kSeekLead) * AV_TIME_BASE) + start;
  if (av_seek_frame(format_.get(), -1, target, AVSEEK_FLAG_BACKWARD) >= 0) {
    avcodec_flush_buffers(decoder_.get());
  }
}

void ClipSource::NoteError() {
  if (errors_++ == 0) first_error_ = static_cast<double>(last_pts_) * av_q2d(stream_->time_base);
}

bool ClipSource::SendNextPacket() {
  for (;;) {
    const int read = av_read_frame(format_.get(), packet_.get());
    if (read < 0) {
      if (read != AVERROR_EOF) NoteError();
      avcodec_send_packet(decoder_.get(), nullptr);
      flushed_ = true;
      return true;
    }
    const bool ours = packet_->stream_index == stream_->index;
    const int sent = ours ? avcodec_send_packet(decoder_.get(), packet_.get()) : 0;
    if (sent < 0 && packet_->pts != AV_NOPTS_VALUE) last_pts_ = packet_->pts - origin_;
    av_packet_unref(packet_.get());
    if (!ours) continue;
    if (sent < 0) {
      NoteError();
      continue;
    }
    return true;
  }
}

bool ClipSource::ReadFrame(AVFrame* frame) {
  for (;;) {
    const int got = avcodec_receive_frame(decoder_.get(), frame);
    if (got == 0) {
      int64_t pts = frame->best_effort_timestamp;
      if (pts == AV_NOPTS_VALUE) pts = last_pts_;
      last_pts_ = pts - origin_;
      frame->pts = last_pts_;
      return true;
    }
    if (got == AVERROR_EOF) return false;
    if (got != AVERROR(EAGAIN)) {
      NoteError();
      if (flushed_) return false;
      continue;
    }
    if (flushed_ || !SendNextPacket()) return false;
  }
}

double ClipSource::Duration() const {
  if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
    return static_cast<double>(format_->duration) / AV_TIME_BASE;
  }
  if (stream_->duration != AV_NOPTS_VALUE) {
    return static_cast<double>(stream_->duration) * av_q2d(stream_->time_base);
  }
  return 0;
}

int ClipSource::Rotation() const {
  const uint8_t* matrix = av_stream_get_side_data(stream_, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
  if (matrix == nullptr) return 0;
  const double turn = -av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
  if (std::isnan(turn)) return 0;
  const int quarter = static_cast<int>(std::lround(turn / 90.0));
  return ((quarter % 4) + 4) % 4 * 90;
}

}  // namespace vcd2
