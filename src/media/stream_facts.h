#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "media/mpeg_pack_reader.h"

namespace vcd2 {

// What an MPEG file carries, as far as a Video CD cares.
struct StreamFacts {
  int mpeg_version = 0;        // of the system stream: 1, 2, or 0 when no pack starts it
  uint64_t packs = 0;          // packs read (MPEG-1 system streams only)
  uint64_t odd_packs = 0;      // packs other than 2324 (video) or 2304 (audio) bytes
  size_t odd_pack_length = 0;  // the first such length
  uint32_t mux_rate = 0;       // of the first pack, units of 50 bytes per second
  bool mux_rate_varies = false;

  bool has_video = false;
  bool still = false;     // video in a still stream (E1/E2)
  int video_version = 0;  // 1 MPEG-1 video, 2 MPEG-2 video, 0 other codec
  std::string video_codec;
  int width = 0;
  int height = 0;
  double frame_rate = 0;
  uint32_t video_bit_rate = 0;  // from the sequence header, bit/s; 0 unknown or variable
  bool variable_rate = false;   // the sequence header says so
  uint32_t buffer_size = 0;     // VBV buffer from the sequence header, bytes

  bool has_audio = false;
  int audio_layer = 0;  // 1, 2 or 3 for MPEG audio; 0 other codec
  std::string audio_codec;
  int sample_rate = 0;
  uint32_t audio_bit_rate = 0;  // bit/s
  int audio_mode = -1;          // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel

  double duration = 0;  // seconds; known only from a probe

  // The first still picture (E1/E2, from one sequence header to the next or
  // the stream's end) larger than the buffer its packets declare; 0 none.
  size_t oversize_still = 0;
  uint32_t oversize_still_buffer = 0;
  std::string container;  // libavformat's name of a file that is no MPEG program stream
};

// Gathers the facts of an MPEG-1 system stream from its packs as the pack
// reader passes them: pack sizes and mux rates, the stream ids, the first
// video sequence header and the first audio frame header.
class StreamFactsCollector {
 public:
  StreamFactsCollector() { facts_.mpeg_version = 1; }
  // One pack; copied holds its first bytes as the reader copied them.
  void AddPack(std::span<const uint8_t> copied, const MpegPackReader::Pack& pack);
  // The facts of the packs so far, the still pictures under way measured.
  StreamFacts Facts() const;

 private:
  // A still stream's picture under way and the buffer its packets declare.
  struct StillMeasure {
    uint32_t buffer = 0;
    size_t picture = 0;
    uint32_t code = 0xFFFFFFFF;  // the last four bytes, for start codes
  };
  void AddPacket(uint8_t id, std::span<const uint8_t> body);
  void MeasureStill(StillMeasure& still, std::span<const uint8_t> body, size_t header);
  static void CheckStill(const StillMeasure& still, size_t size, StreamFacts& facts);

  StreamFacts facts_;
  StillMeasure stills_[2];  // E1, E2
  bool video_noted_ = false;
  bool audio_noted_ = false;
};

// Reads the facts of an MPEG file: an MPEG-1 system stream pack by pack, then
// a probe for its duration and for what the packs did not tell. Any other
// media file (MP4, MKV, TS, AVI...) is probed for its streams alone, with
// mpeg_version 0 and its container named. False, with a reason, when the
// file cannot be read or is no media file.
bool ReadStreamFacts(const std::string& path, StreamFacts& facts, std::string& reason);

}  // namespace vcd2
