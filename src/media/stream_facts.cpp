#include "media/stream_facts.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <utility>

#include "base/unique_file.h"
#include "media/media_codecs.h"
#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

constexpr size_t kPackCopySize = 4096;
constexpr size_t kPacketPrefixSize = 6;
constexpr size_t kSequenceHeaderSize = 12;
constexpr uint8_t kExtension = 0xB5;      // start code of an MPEG-2 sequence extension
constexpr uint8_t kPrivateStream = 0xBD;  // AC-3 and PCM audio, by the substream id
constexpr uint32_t kBitRateUnit = 400;    // bit/s
constexpr uint32_t kVariableBitRate = 0x3FFFF;
constexpr std::array<double, 16> kFrameRates = {0,  24000.0 / 1001, 24, 25, 30000.0 / 1001, 30,
                                                50, 60000.0 / 1001, 60};
// kbit/s by MPEG audio version (1, then 2 at the half sampling rates), layer
// (I, II, III) and bit rate index.
constexpr uint16_t kAudioBitRates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr int kAudioSampleRates[3] = {44100, 48000, 32000};
constexpr const char* kAudioCodecs[3] = {"mp1", "mp2", "mp3"};

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

// The value of the first start code at or after from; -1 when none.
int NextStartCode(std::span<const uint8_t> payload, size_t from) {
  for (size_t i = from; i + 4 <= payload.size(); ++i) {
    if (IsPrefix(payload.data() + i)) return payload[i + 3];
  }
  return -1;
}

// The picture, rates and buffer of the first sequence header in a payload;
// an extension behind it makes the video MPEG-2.
bool NoteSequenceHeader(std::span<const uint8_t> payload, StreamFacts& facts) {
  for (size_t i = 0; i + kSequenceHeaderSize <= payload.size(); ++i) {
    const uint8_t* s = payload.data() + i;
    if (!IsPrefix(s) || s[3] != start_code::kSequenceHeader) continue;
    facts.width = s[4] << 4 | s[5] >> 4;
    facts.height = (s[5] & 0x0F) << 8 | s[6];
    facts.frame_rate = kFrameRates[s[7] & 0x0F];
    const uint32_t rate = uint32_t{s[8]} << 10 | uint32_t{s[9]} << 2 | s[10] >> 6;
    facts.variable_rate = rate == kVariableBitRate;
    facts.video_bit_rate = facts.variable_rate ? 0 : rate * kBitRateUnit;
    facts.buffer_size = ((uint32_t{s[10]} & 0x1F) << 5 | s[11] >> 3) * kVbvUnit;
    facts.video_version = NextStartCode(payload, i + kSequenceHeaderSize) == kExtension ? 2 : 1;
    facts.video_codec = facts.video_version == 2 ? "mpeg2video" : "mpeg1video";
    return true;
  }
  return false;
}

// Layer, sampling rate, bit rate and mode of the first valid MPEG audio
// frame header in a payload.
bool NoteAudioHeader(std::span<const uint8_t> payload, StreamFacts& facts) {
  for (size_t i = 0; i + 4 <= payload.size(); ++i) {
    const uint8_t* h = payload.data() + i;
    if (h[0] != 0xFF || (h[1] & 0xF0) != 0xF0) continue;
    const int layer = 4 - (h[1] >> 1 & 3);
    const int version = (h[1] & 0x08) != 0 ? 0 : 1;  // index: MPEG-1, MPEG-2
    const int rate_index = h[2] >> 4;
    const int sampling_index = h[2] >> 2 & 3;
    if (layer == 4 || rate_index == 15 || sampling_index == 3) continue;
    facts.audio_layer = layer;
    facts.audio_codec = kAudioCodecs[layer - 1];
    facts.sample_rate = kAudioSampleRates[sampling_index] >> version;
    facts.audio_bit_rate = uint32_t{kAudioBitRates[version][layer - 1][rate_index]} * 1000;
    facts.audio_mode = h[3] >> 6;
    return true;
  }
  return false;
}

// Fills the facts of an MPEG-1 system stream from its packs.
bool WalkPacks(const std::string& path, StreamFacts& facts) {
  MpegPackReader reader;
  if (!reader.Open(path)) return false;
  std::array<uint8_t, kPackCopySize> copy{};
  MpegPackReader::Pack pack;
  StreamFactsCollector collector;
  while (reader.ReadPack(copy, pack)) collector.AddPack(copy, pack);
  facts = collector.Facts();
  return facts.packs != 0;
}

}  // namespace

void StreamFactsCollector::AddPack(std::span<const uint8_t> copied,
                                   const MpegPackReader::Pack& pack) {
  const std::span<const uint8_t> bytes = copied.first(std::min(pack.length, copied.size()));
  if (bytes.size() < kPackHeaderSize) return;
  const uint32_t mux_rate = MuxRate(bytes.data());
  if (facts_.packs == 0) facts_.mux_rate = mux_rate;
  facts_.mux_rate_varies |= mux_rate != facts_.mux_rate;
  const bool audio = pack.stream_id == start_code::kAudio;
  if (pack.length != (audio ? kAudioPackSize : kVideoPackSize) && !pack.end_of_record) {
    if (facts_.odd_packs++ == 0) facts_.odd_pack_length = pack.length;
  }
  ++facts_.packs;
  size_t at = kPackHeaderSize;
  while (at + kPacketPrefixSize <= bytes.size() && IsPrefix(bytes.data() + at)) {
    const size_t size = size_t{bytes[at + 4]} << 8 | bytes[at + 5];
    const size_t end = std::min(bytes.size(), at + kPacketPrefixSize + size);
    AddPacket(bytes[at + 3], bytes.subspan(at + kPacketPrefixSize, end - at - kPacketPrefixSize));
    at = end;
  }
}

// Still stream ids, and the first headers of the video and audio streams.
void StreamFactsCollector::AddPacket(uint8_t id, std::span<const uint8_t> body) {
  const bool video = id >= start_code::kVideo && id <= start_code::kStillHigh;
  const bool audio = (id & 0xE0) == start_code::kAudio || id == kPrivateStream;
  if (!video && !audio) return;
  facts_.still |= video && id != start_code::kVideo;
  const size_t header = PacketHeaderLength(body.data(), body.size());
  if (header == 0) return;
  const std::span<const uint8_t> payload = body.subspan(header);
  if (video) {
    if (!facts_.has_video) facts_.video_codec = "unknown";
    facts_.has_video = true;
    if (id != start_code::kVideo) MeasureStill(stills_[id - start_code::kStillLow], body, header);
    if (!video_noted_) video_noted_ = NoteSequenceHeader(payload, facts_);
    return;
  }
  if (!facts_.has_audio) facts_.audio_codec = "unknown";
  facts_.has_audio = true;
  if (audio_noted_) return;
  if (id != kPrivateStream) {
    audio_noted_ = NoteAudioHeader(payload, facts_);
  } else if (!payload.empty()) {  // the substream id names the codec
    facts_.audio_codec = payload[0] >> 3 == 0x10  ? "ac3"
                         : payload[0] >> 4 == 0xA ? "pcm"
                                                  : "unknown";
    audio_noted_ = true;
  }
}

namespace {

// A file that is no program stream: what libavformat makes of it, if anything.
bool ProbeOtherMedia(const std::string& path, StreamFacts& facts, std::string& reason) {
  reason = "is no MPEG program stream: it does not start with a pack header";
  std::string error;
  const MediaCodecs* codecs = LoadMediaCodecs(error);
  return codecs != nullptr && codecs->probe_streams(path, facts) &&
         (facts.has_video || facts.has_audio);
}

}  // namespace

StreamFacts StreamFactsCollector::Facts() const {
  StreamFacts facts = facts_;
  for (const StillMeasure& still : stills_) CheckStill(still, still.picture, facts);
  return facts;
}

void StreamFactsCollector::CheckStill(const StillMeasure& still, size_t size, StreamFacts& facts) {
  if (facts.oversize_still == 0 && still.buffer != 0 && size > still.buffer) {
    facts.oversize_still = size;
    facts.oversize_still_buffer = still.buffer;
  }
}

// The bytes of each picture, counted from its sequence header, and the
// buffer size field (units of 1024 or 128 bytes) that comes with the first
// packet of a picture and holds from its start on.
void StreamFactsCollector::MeasureStill(StillMeasure& still, std::span<const uint8_t> body,
                                        size_t header) {
  size_t i = 0;
  while (i < header && (body[i] & 0x80) != 0) ++i;
  std::optional<uint32_t> declared;
  if (i + 1 < header && (body[i] & 0xC0) == 0x40) {
    const uint32_t units = (uint32_t{body[i]} & 0x1F) << 8 | body[i + 1];
    declared = units * ((body[i] & 0x20) != 0 ? 1024 : 128);
  }
  for (const uint8_t byte : body.subspan(header)) {
    ++still.picture;
    still.code = still.code << 8 | byte;
    if (still.code != (0x100u | start_code::kSequenceHeader)) continue;
    const size_t before = still.picture - 4;
    if (before > 0) CheckStill(still, before, facts_);
    still.picture = 4;
    if (declared) still.buffer = *std::exchange(declared, std::nullopt);
  }
  if (declared) still.buffer = *declared;
}

bool ReadStreamFacts(const std::string& path, StreamFacts& facts, std::string& reason) {
  facts = StreamFacts{};
  if (UniqueFile file{std::fopen(path.c_str(), "rb")}; !file) {
    reason = "cannot be read";
    return false;
  }
  const int version = PackVersion(path);
  if (version == 0) return ProbeOtherMedia(path, facts, reason);
  if (version == 1 && !WalkPacks(path, facts)) {
    reason = "holds no readable MPEG-1 pack";
    return false;
  }
  facts.mpeg_version = version;
  std::string error;
  const MediaCodecs* codecs = LoadMediaCodecs(error);
  if (codecs == nullptr) {
    reason = "could not be probed: " + error;
    return false;
  }
  if (!codecs->probe_streams(path, facts)) {
    reason = "could not be probed for its streams";
    return false;
  }
  return true;
}

}  // namespace vcd2
