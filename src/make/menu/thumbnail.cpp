#include "make/menu/thumbnail.h"

#include <cmath>

namespace vcd2 {
namespace {

constexpr int kMaxPackets = 200000;  // bounds the search in a broken stream
constexpr double kDefaultRate = 25;

double Seconds(uint32_t timecode, double rate) {
  const auto field = [timecode](int shift) {
    return static_cast<double>((timecode >> shift) & 0xFF);
  };
  return field(24) * 3600 + field(16) * 60 + field(8) + field(0) / rate;
}

// Only the MPEG program stream demuxer reading a local file.
AvInput OpenStream(const std::string& path) {
  const AVInputFormat* mpeg = av_find_input_format("mpeg");
  if (mpeg == nullptr) return nullptr;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  AVFormatContext* raw = nullptr;
  const int opened = avformat_open_input(&raw, path.c_str(), mpeg, &options);
  av_dict_free(&options);
  if (opened < 0) return nullptr;
  AvInput format(raw);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) return nullptr;
  return format;
}

AvCodec OpenDecoder(const AVStream& stream) {
  const AVCodec* decoder = avcodec_find_decoder(stream.codecpar->codec_id);
  if (decoder == nullptr) return nullptr;
  AvCodec codec(avcodec_alloc_context3(decoder));
  if (!codec || avcodec_parameters_to_context(codec.get(), stream.codecpar) < 0 ||
      avcodec_open2(codec.get(), decoder, nullptr) < 0) {
    return nullptr;
  }
  return codec;
}

}  // namespace

AvFrame DecodeStreamPicture(const std::string& path, uint32_t timecode) {
  const AvInput format = OpenStream(path);
  if (!format) return nullptr;
  const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) return nullptr;
  const AVStream& stream = *format->streams[index];
  const AvCodec codec = OpenDecoder(stream);
  const AvPacket packet(av_packet_alloc());
  AvFrame frame(av_frame_alloc());
  if (!codec || !packet || !frame) return nullptr;
  const double rate = stream.avg_frame_rate.num > 0 ? av_q2d(stream.avg_frame_rate) : kDefaultRate;
  const double wanted = Seconds(timecode, rate);
  const int64_t start = stream.start_time != AV_NOPTS_VALUE ? stream.start_time : 0;
  if (wanted > 0) {
    const auto target = static_cast<int64_t>(std::floor((wanted - 1) * AV_TIME_BASE));
    av_seek_frame(format.get(), -1, std::max<int64_t>(target, 0), AVSEEK_FLAG_BACKWARD);
  }
  bool flushed = false;
  for (int packets = 0; packets < kMaxPackets;) {
    const int received = avcodec_receive_frame(codec.get(), frame.get());
    if (received >= 0) {
      const int64_t pts = frame->best_effort_timestamp;
      const double at = pts == AV_NOPTS_VALUE
                            ? wanted
                            : static_cast<double>(pts - start) * av_q2d(stream.time_base);
      if (at + 0.5 / rate >= wanted) return frame;
      continue;
    }
    if (received != AVERROR(EAGAIN) || flushed) return nullptr;
    if (av_read_frame(format.get(), packet.get()) < 0) {
      avcodec_send_packet(codec.get(), nullptr);
      flushed = true;
      continue;
    }
    ++packets;
    if (packet->stream_index == index) avcodec_send_packet(codec.get(), packet.get());
    av_packet_unref(packet.get());
  }
  return nullptr;
}

}  // namespace vcd2
