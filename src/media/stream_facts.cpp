#include "media/stream_facts.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <array>
#include <cstdio>
#include <memory>
#include <span>

#include "base/unique_file.h"
#include "media/mpeg_constants.h"
#include "media/mpeg_pack_reader.h"

namespace vcd2 {
namespace {

constexpr size_t kPackCopySize = 4096;
constexpr size_t kPackHeaderSize = 12;
constexpr size_t kPacketPrefixSize = 6;
constexpr size_t kSequenceHeaderSize = 12;
constexpr uint32_t kBitRateUnit = 400;  // bit/s
constexpr uint32_t kBufferUnit = 2048;  // bytes (16 kbit)
constexpr uint32_t kVariableBitRate = 0x3FFFF;

bool IsPrefix(const uint8_t* b) {
  return b[0] == 0 && b[1] == 0 && b[2] == 1;
}

// MPEG-1 packs start with the bits 0010, MPEG-2 packs with 01.
int PackVersion(const std::string& path) {
  UniqueFile file(std::fopen(path.c_str(), "rb"));
  std::array<uint8_t, 5> head{};
  if (!file || std::fread(head.data(), 1, head.size(), file.get()) != head.size()) return 0;
  if (!IsPrefix(head.data()) || head[3] != start_code::kPack) return 0;
  if (head[4] >> 4 == 2) return 1;
  return head[4] >> 6 == 1 ? 2 : 0;
}

uint32_t MuxRate(const uint8_t* pack) {
  return (uint32_t{pack[9]} & 0x7F) << 15 | uint32_t{pack[10]} << 7 | pack[11] >> 1;
}

void NoteSequenceHeader(std::span<const uint8_t> payload, StreamFacts& facts) {
  for (size_t i = 0; i + kSequenceHeaderSize <= payload.size(); ++i) {
    const uint8_t* s = payload.data() + i;
    if (!IsPrefix(s) || s[3] != start_code::kSequenceHeader) continue;
    const uint32_t rate = uint32_t{s[8]} << 10 | uint32_t{s[9]} << 2 | s[10] >> 6;
    facts.variable_rate = rate == kVariableBitRate;
    facts.video_bit_rate = facts.variable_rate ? 0 : rate * kBitRateUnit;
    facts.buffer_size = ((uint32_t{s[10]} & 0x1F) << 5 | s[11] >> 3) * kBufferUnit;
    return;
  }
}

// The channel mode of the first MPEG audio frame header.
void NoteAudioHeader(std::span<const uint8_t> payload, StreamFacts& facts) {
  for (size_t i = 0; i + 4 <= payload.size(); ++i) {
    const uint8_t* h = payload.data() + i;
    if (h[0] == 0xFF && (h[1] & 0xF0) == 0xF0 && (h[1] & 0x06) != 0) {
      facts.audio_mode = h[3] >> 6;
      return;
    }
  }
}

// Looks through the packets of one copied pack for the first video sequence
// header and audio frame header, and for still video.
void NotePackets(std::span<const uint8_t> pack, StreamFacts& facts, bool& video_noted,
                 bool& audio_noted) {
  size_t at = kPackHeaderSize;
  while (at + kPacketPrefixSize <= pack.size() && IsPrefix(pack.data() + at)) {
    const uint8_t id = pack[at + 3];
    const size_t size = size_t{pack[at + 4]} << 8 | pack[at + 5];
    const size_t end = std::min(pack.size(), at + kPacketPrefixSize + size);
    std::span<const uint8_t> body =
        pack.subspan(at + kPacketPrefixSize, end - at - kPacketPrefixSize);
    const size_t header =
        id == start_code::kSystemHeader ? 0 : PacketHeaderLength(body.data(), body.size());
    if (id == start_code::kStillLow || id == start_code::kStillHigh) facts.still = true;
    if (id >= start_code::kVideo && id <= start_code::kStillHigh && !video_noted && header != 0) {
      NoteSequenceHeader(body.subspan(header), facts);
      video_noted = facts.buffer_size != 0;
    } else if ((id & 0xE0) == start_code::kAudio && !audio_noted && header != 0) {
      NoteAudioHeader(body.subspan(header), facts);
      audio_noted = facts.audio_mode >= 0;
    }
    at = end;
  }
}

// Walks every pack with the project's pack reader: sizes, mux rates, still
// stream ids and the first headers.
bool WalkPacks(const std::string& path, StreamFacts& facts) {
  MpegPackReader reader;
  if (!reader.Open(path)) return false;
  std::array<uint8_t, kPackCopySize> copy{};
  MpegPackReader::Pack pack;
  bool video_noted = false;
  bool audio_noted = false;
  while (reader.ReadPack(copy, pack) && pack.length >= kPackHeaderSize) {
    const uint32_t mux_rate = MuxRate(copy.data());
    if (facts.packs == 0) facts.mux_rate = mux_rate;
    facts.mux_rate_varies |= mux_rate != facts.mux_rate;
    const bool audio = pack.stream_id == start_code::kAudio;
    if (pack.length != (audio ? kAudioPackSize : kVideoPackSize) && !pack.end_of_record) {
      if (facts.odd_packs++ == 0) facts.odd_pack_length = pack.length;
    }
    ++facts.packs;
    NotePackets(std::span<const uint8_t>(copy.data(), std::min(pack.length, copy.size())), facts,
                video_noted, audio_noted);
  }
  return facts.packs != 0;
}

struct FormatClose {
  void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};

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

void NoteStream(const AVStream& stream, StreamFacts& facts) {
  const AVCodecParameters& codec = *stream.codecpar;
  if (codec.codec_type == AVMEDIA_TYPE_VIDEO && !facts.has_video) {
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
  } else if (codec.codec_type == AVMEDIA_TYPE_AUDIO && !facts.has_audio) {
    facts.has_audio = true;
    facts.audio_codec = avcodec_get_name(codec.codec_id);
    facts.audio_layer = AudioLayer(codec.codec_id);
    facts.sample_rate = codec.sample_rate;
    facts.audio_bit_rate = static_cast<uint32_t>(codec.bit_rate);
    if (facts.audio_mode < 0 && codec.ch_layout.nb_channels == 1) facts.audio_mode = 3;
  }
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

// The streams and the duration as libavformat sees them.
bool ProbeStreams(const std::string& path, StreamFacts& facts) {
  const QuietLibav quiet;
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return false;
  std::unique_ptr<AVFormatContext, FormatClose> format(opened);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) return false;
  for (unsigned i = 0; i < format->nb_streams; ++i) NoteStream(*format->streams[i], facts);
  if (format->duration != AV_NOPTS_VALUE) {
    facts.duration = static_cast<double>(format->duration) / AV_TIME_BASE;
  }
  return true;
}

}  // namespace

bool ReadStreamFacts(const std::string& path, StreamFacts& facts, std::string& reason) {
  facts = StreamFacts{};
  if (UniqueFile file{std::fopen(path.c_str(), "rb")}; !file) {
    reason = "cannot be read";
    return false;
  }
  facts.mpeg_version = PackVersion(path);
  if (facts.mpeg_version == 0) {
    reason = "is no MPEG program stream: it does not start with a pack header";
    return false;
  }
  if (facts.mpeg_version == 1 && !WalkPacks(path, facts)) {
    reason = "holds no readable MPEG-1 pack";
    return false;
  }
  if (!ProbeStreams(path, facts)) {
    reason = "could not be probed for its streams";
    return false;
  }
  return true;
}

}  // namespace vcd2
