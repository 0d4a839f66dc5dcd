#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/unique_file.h"

namespace vcd2 {

// Reads an MPEG-1 system stream pack by pack and notes what it carries: the
// video and audio streams, the picture heights and the audio mode.
class MpegPackReader {
 public:
  struct Pack {
    size_t length = 0;           // bytes of the whole pack (may exceed what was copied)
    uint8_t stream_id = 0xE0;    // classifies the pack: the id of its first packet
    bool end_of_record = false;  // ends with the end code, or is padding
    uint64_t offset = 0;         // file position of the pack start code
  };

  bool Open(const std::string& path);
  // Copies the next pack into destination (as far as it holds). False at the
  // end of the stream or when the data is no pack.
  bool ReadPack(std::span<uint8_t> destination, Pack& pack);
  // File position of the first byte not yet read as part of a pack.
  uint64_t Offset() const { return consumed_; }
  // The Video CD content type: audio type in bits 0-1, video type in 2-4.
  uint8_t GetContentType() const;

 private:
  static constexpr size_t kBufferSize = size_t{1} << 20;  // one read per megabyte
  static constexpr size_t kMaxPacketSize = 4096;

  bool Fill(size_t wanted);
  void Consume(size_t count);
  void Copy(size_t count, std::span<uint8_t> destination, size_t& length);
  void NotePacket(uint8_t id, size_t packet_size, bool first, Pack& pack);
  void NoteVideo(size_t index, size_t packet_size);
  void NoteAudio(size_t packet_size);

  const uint8_t* Data() const { return buffer_.data() + begin_; }

  UniqueFile file_;
  std::vector<uint8_t> buffer_;
  size_t begin_ = 0;  // first unread byte
  size_t count_ = 0;  // unread bytes
  uint64_t consumed_ = 0;
  bool audio_seen_ = false;
  uint8_t audio_mode_ = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
  std::array<bool, 3> video_seen_{};
  std::array<uint16_t, 2> heights_{};
};

}  // namespace vcd2
