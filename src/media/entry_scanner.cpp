#include "media/entry_scanner.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

constexpr size_t kFirstPacket = 12;      // behind the pack header
constexpr size_t kPacketPrefixSize = 6;  // start code and length
constexpr uint8_t kIntraCoded = 1;

bool Wanted(int code) {
  return code == start_code::kPicture || code == start_code::kSequenceHeader ||
         code == start_code::kGroupOfPictures;
}

}  // namespace

void EntryScanner::ScanPack(const uint8_t* pack, uint32_t sector) {
  size_t packet = kFirstPacket;
  if (pack[packet + 3] == start_code::kSystemHeader) {
    Finish();
    pending_position_ = 0;
    packet += kPacketPrefixSize + (size_t{pack[packet + 4]} << 8 | pack[packet + 5]);
    if (packet + kPacketPrefixSize + 1 > kVideoPackSize || pack[packet] != 0 ||
        pack[packet + 1] != 0 || pack[packet + 2] != 1) {
      return;
    }
  }
  if (pack[packet + 3] != start_code::kVideo) return;
  const size_t packet_length = size_t{pack[packet + 4]} << 8 | pack[packet + 5];
  const size_t fields_start = packet + kPacketPrefixSize;
  const size_t available = kVideoPackSize - fields_start;
  const size_t fields = PacketHeaderLength(pack + fields_start, available);
  if (fields == 0 || fields > packet_length) return;
  const size_t payload_start = fields_start + fields;
  const size_t payload_size = std::min(packet_length - fields, kVideoPackSize - payload_start);
  const uint8_t* payload = pack + payload_start;
  if (carry_size_ != 0) {
    for (const Code& code : carry_codes_) Apply(code);
    ScanTail(payload, payload_size);
  }
  carry_codes_.clear();
  FindCodes(payload, payload_size);
  tail_size_ = std::min(kTailSize, payload_size);
  std::memcpy(tail_, payload + payload_size - tail_size_, tail_size_);
  carry_size_ = payload_size;
  carry_sector_ = sector;
  carry_position_ = static_cast<uint16_t>(payload_start);
}

void EntryScanner::Finish() {
  if (carry_size_ == 0) return;
  for (const Code& code : carry_codes_) Apply(code);
  ScanTail(nullptr, 0);
  carry_codes_.clear();
  carry_size_ = 0;
}

// The codes lying wholly inside the payload: sixteen places at a time are
// tested for the bytes 00 00 01 where the vector unit allows, then one by one.
void EntryScanner::FindCodes(const uint8_t* payload, size_t payload_size) {
  if (payload_size < kCodeReach) return;
  const uint8_t* end = payload + payload_size - kCodeReach + 3;  // last 01 that fits, plus one
  const uint8_t* one = payload + 2;
  const auto note = [&](const uint8_t* at) {
    if (Wanted(at[1])) {
      carry_codes_.push_back({static_cast<uint16_t>(at - 2 - payload), at[1], {at[2], at[3]}});
    }
  };
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi8(1);
  const auto load = [](const uint8_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  };
  for (; end - one >= 16; one += 16) {
    const __m128i zeros =
        _mm_and_si128(_mm_cmpeq_epi8(load(one - 2), zero), _mm_cmpeq_epi8(load(one - 1), zero));
    auto found = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(zeros, _mm_cmpeq_epi8(load(one), ones))));
    for (; found != 0; found &= found - 1) note(one + __builtin_ctz(found));
  }
#endif
  for (; one < end; ++one) {
    if (one[0] == 1 && one[-1] == 0 && one[-2] == 0) note(one);
  }
}

// The codes beginning in the carried payload's tail, which may reach into
// this payload; bytes beyond both read as -1.
void EntryScanner::ScanTail(const uint8_t* payload, size_t payload_size) {
  uint8_t joint[2 * kTailSize];
  const size_t more = std::min(kTailSize, payload_size);
  std::memcpy(joint, tail_, tail_size_);
  if (more != 0) std::memcpy(joint + tail_size_, payload, more);
  const size_t size = tail_size_ + more;
  auto byte = [&](size_t i) -> int { return i < size ? joint[i] : -1; };
  for (size_t i = 0; i < tail_size_; ++i) {
    if (byte(i) != 0 || byte(i + 1) != 0 || byte(i + 2) != 1 || !Wanted(byte(i + 3))) continue;
    Apply({static_cast<uint16_t>(carry_size_ - tail_size_ + i),
           static_cast<uint8_t>(byte(i + 3)),
           {static_cast<uint8_t>(byte(i + 4)), static_cast<uint8_t>(byte(i + 5))}});
  }
}

void EntryScanner::Apply(const Code& code) {
  if (code.value == start_code::kPicture) {
    NotePicture(code.header);
  } else if (code.value == start_code::kSequenceHeader) {
    pending_sector_ = carry_sector_;
    pending_position_ = static_cast<uint16_t>(carry_position_ + code.offset);
  } else {
    pictures_since_group_ = 0;
  }
}

// A picture: its display number from the temporal reference; an intra-coded
// one records the sequence header pending before it.
void EntryScanner::NotePicture(const uint8_t* header) {
  const uint32_t temporal_reference = uint32_t{header[0]} << 2 | header[1] >> 6;
  const uint8_t type = header[1] >> 3 & 7;
  const uint32_t picture = pictures_since_start_ + temporal_reference - pictures_since_group_;
  ++pictures_since_start_;
  ++pictures_since_group_;
  if (type == kIntraCoded) {
    if (pending_position_ != 0) {
      sequence_headers_.push_back({pending_sector_, pending_position_, picture});
    }
  }
  pending_position_ = 0;
}

}  // namespace vcd2
