#include "make/mux_packs.h"

#include <algorithm>
#include <cstring>

#include "base/byte_order.h"
#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

constexpr uint8_t kStuffing = 0xFF;
constexpr uint8_t kNoTimeStamp = 0x0F;
constexpr uint8_t kPtsPrefix = 0x2;
constexpr uint8_t kPtsOfPairPrefix = 0x3;
constexpr uint8_t kDtsPrefix = 0x1;
constexpr size_t kTimeStampSize = 5;
constexpr size_t kEndCodeSize = 4;
constexpr size_t kMinPadding = 12;  // less room than this after a last packet is stuffing

uint8_t* StorePrefix(uint8_t* p, uint8_t id, size_t length) {
  p[0] = 0x00;
  p[1] = 0x00;
  p[2] = 0x01;
  p[3] = id;
  StoreBigEndian16(p + 4, static_cast<uint16_t>(length));
  return p + kPacketPrefixSize;
}

void StoreTimeStamp(uint8_t* p, uint8_t prefix, uint32_t value) {
  p[0] = static_cast<uint8_t>(prefix << 4 | (value >> 29 & 0x0E) | 0x01);
  p[1] = static_cast<uint8_t>(value >> 22);
  p[2] = static_cast<uint8_t>(value >> 14 | 0x01);
  p[3] = static_cast<uint8_t>(value >> 7);
  p[4] = static_cast<uint8_t>(value << 1 | 0x01);
}

// A padding packet of total bytes: its body is 0xFF but for one 0x0F, the
// first body byte when total is odd, the second when it is even.
void StorePadding(uint8_t* p, size_t total) {
  uint8_t* body = StorePrefix(p, start_code::kPadding, total - kPacketPrefixSize);
  std::fill(body, p + total, kStuffing);
  body[total % 2 != 0 ? 0 : 1] = kNoTimeStamp;
}

void StoreEndCode(uint8_t* p) {
  p[0] = 0x00;
  p[1] = 0x00;
  p[2] = 0x01;
  p[3] = start_code::kEnd;
}

size_t FieldsSize(const PacketFields& fields) {
  const size_t stamps = fields.dts ? 2 * kTimeStampSize : fields.pts ? kTimeStampSize : 1;
  return (fields.buffer ? 2 : 0) + stamps;
}

// The packet's start code, length, stuffing and fields; returns where its
// data goes.
uint8_t* StorePacketHead(uint8_t* p, const PacketFields& fields, size_t length, size_t stuffing) {
  p = StorePrefix(p, fields.stream_id, length);
  p = std::fill_n(p, stuffing, kStuffing);
  if (fields.buffer) {
    const auto& buffer = *fields.buffer;
    p[0] = static_cast<uint8_t>(0x40 | (buffer.scale_kb ? 0x20 : 0) | buffer.units >> 8);
    p[1] = static_cast<uint8_t>(buffer.units);
    p += 2;
  }
  if (fields.dts) {
    StoreTimeStamp(p, kPtsOfPairPrefix, *fields.pts);
    StoreTimeStamp(p + kTimeStampSize, kDtsPrefix, *fields.dts);
    return p + 2 * kTimeStampSize;
  }
  if (fields.pts) {
    StoreTimeStamp(p, kPtsPrefix, *fields.pts);
    return p + kTimeStampSize;
  }
  *p = kNoTimeStamp;
  return p + 1;
}

}  // namespace

void StoreSystemHeaderPack(std::span<uint8_t> pack, uint32_t clock, uint8_t stream_id,
                           uint16_t high_buffer_kb) {
  uint8_t* p = pack.data();
  StorePackHeader(p, clock);
  const bool audio = stream_id == start_code::kAudio;
  const bool pair = !audio && high_buffer_kb != 0;
  uint8_t* header = p + kPackHeaderSize;
  uint8_t* body = StorePrefix(header, start_code::kSystemHeader, pair ? 12 : 9);
  std::memcpy(body, p + 9, 3);                  // rate bound: the mux rate
  body[3] = audio ? 0x05 : 0x00;                // audio bound 1 and CSPS for audio
  body[4] = audio ? 0xE0 : pair ? 0xE2 : 0xE1;  // locks, marker, video bound
  body[5] = 0xFF;
  uint8_t* entry = body + 6;
  if (audio) {
    const uint8_t streams[] = {start_code::kAudio, 0xC0, kAudioBuffer128};
    entry = std::copy(std::begin(streams), std::end(streams), entry);
  } else {
    const uint8_t streams[] = {start_code::kStillLow, 0xE0, kLowBufferKb};
    entry = std::copy(std::begin(streams), std::end(streams), entry);
  }
  if (pair) {
    const uint8_t streams[] = {start_code::kStillHigh,
                               static_cast<uint8_t>(0xE0 | high_buffer_kb >> 8),
                               static_cast<uint8_t>(high_buffer_kb)};
    entry = std::copy(std::begin(streams), std::end(streams), entry);
  }
  StorePadding(entry, static_cast<size_t>(pack.data() + pack.size() - entry));
}

size_t StoreFullPack(std::span<uint8_t> pack, uint32_t clock, const PacketFields& fields,
                     std::span<const uint8_t> data) {
  StorePackHeader(pack.data(), clock);
  const size_t length = pack.size() - kPackHeaderSize - kPacketPrefixSize;
  size_t count = length - FieldsSize(fields);
  const size_t stuffing = count % 2;
  count -= stuffing;
  uint8_t* p = StorePacketHead(pack.data() + kPackHeaderSize, fields, length, stuffing);
  std::memcpy(p, data.data(), count);
  return count;
}

bool StoreLastPack(std::span<uint8_t> pack, uint32_t clock, const PacketFields& fields,
                   std::span<const uint8_t> data, bool end_code) {
  StorePackHeader(pack.data(), clock);
  size_t length = FieldsSize(fields) + data.size();
  size_t stuffing = length % 2;
  length += stuffing;
  const size_t room = pack.size() - kPackHeaderSize - kPacketPrefixSize - length;
  bool padding = room >= kMinPadding;
  bool end_code_placed = end_code && (padding || room >= kEndCodeSize);
  if (!padding) {
    const size_t extra = room - (end_code_placed ? kEndCodeSize : 0);
    stuffing += extra;
    length += extra;
  }
  uint8_t* p = StorePacketHead(pack.data() + kPackHeaderSize, fields, length, stuffing);
  if (!data.empty()) std::memcpy(p, data.data(), data.size());
  p += data.size();
  uint8_t* end = pack.data() + pack.size();
  if (end_code_placed) {
    end -= kEndCodeSize;
    StoreEndCode(end);
  }
  if (padding) StorePadding(p, static_cast<size_t>(end - p));
  return end_code_placed;
}

void StoreClosingPack(std::span<uint8_t> pack, uint32_t clock) {
  StorePackHeader(pack.data(), clock);
  uint8_t* p = pack.data() + kPackHeaderSize;
  StorePadding(p, kVideoPackSize - kPackHeaderSize - kEndCodeSize);
  StoreEndCode(pack.data() + kVideoPackSize - kEndCodeSize);
}

}  // namespace vcd2
