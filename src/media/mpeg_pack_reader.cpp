#include "media/mpeg_pack_reader.h"

#include <fcntl.h>

#include <algorithm>
#include <cstring>

#include "media/audio_frame_header.h"
#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

constexpr size_t kPacketPrefixSize = 6;  // start code and length
constexpr size_t kHeaderSearchLimit = 2000;

bool IsPrefix(const uint8_t* b) {
  return b[0] == 0 && b[1] == 0 && b[2] == 1;
}

}  // namespace

bool MpegPackReader::Open(const std::string& path) {
  file_.reset(std::fopen(path.c_str(), "rb"));
  begin_ = 0;
  count_ = 0;
  consumed_ = 0;
  if (file_ == nullptr) return false;
  posix_fadvise(fileno(file_.get()), 0, 0, POSIX_FADV_SEQUENTIAL);
  buffer_.resize(kBufferSize);
  return true;
}

// Unread bytes move to the front only when a refill needs the room.
bool MpegPackReader::Fill(size_t wanted) {
  if (count_ < wanted && count_ < kBufferSize) {
    std::memmove(buffer_.data(), Data(), count_);
    begin_ = 0;
    count_ += std::fread(buffer_.data() + count_, 1, kBufferSize - count_, file_.get());
  }
  return count_ >= wanted;
}

void MpegPackReader::Consume(size_t count) {
  begin_ += count;
  count_ -= count;
  consumed_ += count;
}

void MpegPackReader::Copy(size_t count, std::span<uint8_t> destination, size_t& length) {
  if (length < destination.size()) {
    const size_t room = std::min(count, destination.size() - length);
    std::memcpy(destination.data() + length, Data(), room);
  }
  length += count;
  Consume(count);
}

bool MpegPackReader::ReadPack(std::span<uint8_t> destination, Pack& pack) {
  pack = Pack{};
  for (;;) {  // zero stuffing between packs is skipped
    if (!Fill(4) || Data()[0] != 0 || Data()[1] != 0) return false;
    if (Data()[2] != 0) break;
    Consume(1);
  }
  if (Data()[2] != 1 || Data()[3] != start_code::kPack || !Fill(kPackHeaderSize)) return false;
  pack.offset = consumed_;
  Copy(kPackHeaderSize, destination, pack.length);
  for (bool first = true;; first = false) {
    if (!Fill(4)) return false;
    const uint8_t* data = Data();
    if (data[0] == 0 && data[1] == 0 && data[2] == 0) return true;
    if (!IsPrefix(data)) return false;
    const uint8_t id = data[3];
    if (id == start_code::kPack) return true;
    if (id == start_code::kEnd) {
      Copy(4, destination, pack.length);
      pack.end_of_record = true;
      return true;
    }
    if (!Fill(kPacketPrefixSize)) return false;
    const size_t packet_size = kPacketPrefixSize + (size_t{Data()[4]} << 8 | Data()[5]);
    if (packet_size > kMaxPacketSize || !Fill(packet_size)) return false;
    NotePacket(id, packet_size, first, pack);
    Copy(packet_size, destination, pack.length);
  }
}

void MpegPackReader::NotePacket(uint8_t id, size_t packet_size, bool first, Pack& pack) {
  switch (id) {
    case start_code::kAudio:
      if (first) pack.stream_id = id;
      if (!audio_seen_) NoteAudio(packet_size);
      audio_seen_ = true;
      break;
    case start_code::kVideo:
    case start_code::kStillLow:
    case start_code::kStillHigh: {
      if (first) pack.stream_id = id;
      const size_t index = id - start_code::kVideo;
      if (!video_seen_[index]) NoteVideo(index, packet_size);
      video_seen_[index] = true;
      break;
    }
    case start_code::kSystemHeader:
      if (first && packet_size > 12) pack.stream_id = Data()[12];
      break;
    case start_code::kPadding:
      if (first) pack.stream_id = id;
      pack.end_of_record = true;
      break;
    default:
      break;
  }
}

// The picture height from the sequence header in the stream's first packet.
void MpegPackReader::NoteVideo(size_t index, size_t packet_size) {
  if (index >= heights_.size()) return;
  const uint8_t* data = Data() + kPacketPrefixSize;
  const size_t available = packet_size - kPacketPrefixSize;
  size_t i = PacketHeaderLength(data, available);
  if (i == 0) return;
  while (i < available && data[i] == 0) ++i;
  if (i < 2 || i > kHeaderSearchLimit || i + 6 >= available) return;
  const uint8_t* code = data + i - 2;  // the zeros before the 01 belong to the start code
  if (!IsPrefix(code) || code[3] != start_code::kSequenceHeader) return;
  heights_[index] = static_cast<uint16_t>((code[5] & 0x0F) << 8 | code[6]);
}

// The channel mode from the first audio frame header.
void MpegPackReader::NoteAudio(size_t packet_size) {
  const uint8_t* data = Data() + kPacketPrefixSize;
  const size_t available = packet_size - kPacketPrefixSize;
  const size_t start = PacketHeaderLength(data, available);
  if (start == 0) return;
  const size_t end = std::min(available, start + kHeaderSearchLimit);
  for (size_t i = start; i + 3 < end; ++i) {
    if (data[i] == 0xFF && (data[i + 1] & 0xF0) == 0xF0) {
      audio_mode_ = ParseAudioFrameHeader(data + i).mode;
      return;
    }
  }
}

uint8_t MpegPackReader::GetContentType() const {
  uint8_t type = 0;
  if (audio_seen_) type = audio_mode_ == 2 ? 3 : audio_mode_ == 3 ? 1 : 2;
  if (video_seen_[0]) return type | (heights_[0] == picture::kPalHeight ? 0x1C : 0x0C);
  if (!video_seen_[1]) return type;
  type |= heights_[1] == picture::kPalHeight ? 0x10 : 0;
  return type | (video_seen_[2] ? 0x08 : 0x04);
}

}  // namespace vcd2
