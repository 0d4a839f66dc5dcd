#include "make/clip/clip_output.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace vcd2 {
namespace {

constexpr int64_t kVideoRate = 1150000;
constexpr int kBufferBits = 40 * 1024 * 8;
constexpr int64_t kAudioRate = 224000;
constexpr int kPackSize = 2324;
constexpr int kMuxRate = 2352 * 75 * 8;
// The muxer's clock starts at 36000 and the first packs carry no pictures.
constexpr int64_t kPreload = int64_t{36000 + 3 * 1200} * AV_TIME_BASE / 90000;
constexpr int64_t kMaxDelay = AV_TIME_BASE * 7 / 10;
constexpr int kPalGop = 15;
constexpr int kNtscGop = 18;

// Rate-distortion choices that buy picture quality at the same size: B
// pictures, macroblock decisions by rate and distortion, trellis quantizing.
bool OpenVideo(AVCodecContext& video, bool pal, int threads) {
  video.width = 352;
  video.height = pal ? 288 : 240;
  video.pix_fmt = AV_PIX_FMT_YUV420P;
  video.framerate = pal ? AVRational{25, 1} : AVRational{30000, 1001};
  video.time_base = av_inv_q(video.framerate);
  // Pels of a 4:3 screen: 12:11 for 625 lines, 10:11 for 525.
  video.sample_aspect_ratio = pal ? AVRational{12, 11} : AVRational{10, 11};
  video.bit_rate = video.rc_min_rate = video.rc_max_rate = kVideoRate;
  video.rc_buffer_size = kBufferBits;
  video.gop_size = pal ? kPalGop : kNtscGop;
  video.max_b_frames = 2;
  video.b_quant_factor = 2.0F;  // B pictures cheaper, bits to the pictures they predict from
  video.flags |= AV_CODEC_FLAG_CLOSED_GOP;
  video.thread_count = threads;
  video.thread_type = FF_THREAD_SLICE;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "mbd", "rd", 0);
  av_dict_set(&options, "trellis", "2", 0);
  av_dict_set(&options, "cmp", "2", 0);
  av_dict_set(&options, "subcmp", "2", 0);
  av_dict_set(&options, "mbcmp", "2", 0);
  av_dict_set(&options, "precmp", "2", 0);
  av_dict_set(&options, "mpv_flags", "+mv0", 0);
  av_dict_set(&options, "sc_threshold", "1000000000", 0);
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
  const bool opened = codec != nullptr && avcodec_open2(&video, codec, &options) >= 0;
  av_dict_free(&options);
  return opened;
}

bool OpenAudio(AVCodecContext& audio) {
  audio.sample_rate = ClipOutput::kSampleRate;
  audio.sample_fmt = AV_SAMPLE_FMT_S16;
  audio.bit_rate = kAudioRate;
  av_channel_layout_default(&audio.ch_layout, 2);
  audio.time_base = {1, ClipOutput::kSampleRate};
  // twolame, as MAKE MPA uses: 7 dB more signal to noise than libavcodec's
  // own Layer II encoder at 224 kbit/s on tones in pink noise.
  const AVCodec* codec = avcodec_find_encoder_by_name("libtwolame");
  if (codec == nullptr) codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
  return codec != nullptr && avcodec_open2(&audio, codec, nullptr) >= 0;
}

}  // namespace

bool ClipOutput::Open(const std::string& path, bool pal, int threads) {
  AVFormatContext* created = nullptr;
  if (avformat_alloc_output_context2(&created, nullptr, "vcd", path.c_str()) < 0) return false;
  format_.reset(created);
  video_.reset(avcodec_alloc_context3(nullptr));
  audio_.reset(avcodec_alloc_context3(nullptr));
  packet_.reset(av_packet_alloc());
  if (!video_ || !audio_ || !packet_ || !OpenVideo(*video_, pal, threads) || !OpenAudio(*audio_)) {
    return false;
  }
  video_stream_ = avformat_new_stream(created, nullptr);
  audio_stream_ = avformat_new_stream(created, nullptr);
  if (video_stream_ == nullptr || audio_stream_ == nullptr ||
      avcodec_parameters_from_context(video_stream_->codecpar, video_.get()) < 0 ||
      avcodec_parameters_from_context(audio_stream_->codecpar, audio_.get()) < 0) {
    return false;
  }
  video_stream_->time_base = video_->time_base;
  audio_stream_->time_base = audio_->time_base;
  created->packet_size = kPackSize;
  created->max_delay = kMaxDelay;
  if (avio_open(&created->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return false;
  AVDictionary* options = nullptr;
  av_dict_set_int(&options, "muxrate", kMuxRate, 0);
  av_dict_set_int(&options, "preload", kPreload, 0);
  const bool written = avformat_write_header(created, &options) >= 0;
  av_dict_free(&options);
  return written;
}

bool ClipOutput::Write(AVCodecContext& encoder, AVStream& stream, AVFrame* frame) {
  if (avcodec_send_frame(&encoder, frame) < 0) return false;
  for (;;) {
    const int got = avcodec_receive_packet(&encoder, packet_.get());
    if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
    if (got < 0) return false;
    av_packet_rescale_ts(packet_.get(), encoder.time_base, stream.time_base);
    packet_->stream_index = stream.index;
    if (av_interleaved_write_frame(format_.get(), packet_.get()) < 0) return false;
  }
}

bool ClipOutput::WriteVideo(AVFrame* frame) {
  return Write(*video_, *video_stream_, frame);
}

bool ClipOutput::WriteAudio(AVFrame* frame) {
  return Write(*audio_, *audio_stream_, frame);
}

bool ClipOutput::Finish() {
  return WriteVideo(nullptr) && WriteAudio(nullptr) && av_write_trailer(format_.get()) >= 0 &&
         avio_closep(&format_->pb) >= 0;
}

}  // namespace vcd2
