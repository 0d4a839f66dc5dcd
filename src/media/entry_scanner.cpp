#include "media/entry_scanner.h"

#include <algorithm>

#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

constexpr size_t kFirstPacket = 12;  // behind the pack header
constexpr uint8_t kIntraCoded = 1;

}  // namespace

void EntryScanner::ScanPack(const uint8_t* pack, uint32_t sector) {
  const uint8_t id = pack[kFirstPacket + 3];
  if (id == start_code::kSystemHeader) {
    carry_.clear();
    carry_sector_ = 0;
    carry_position_ = 0;
    return;
  }
  if (id != start_code::kVideo) return;
  const size_t packet_length = size_t{pack[kFirstPacket + 4]} << 8 | pack[kFirstPacket + 5];
  const size_t fields_start = kFirstPacket + 6;
  const size_t available = kVideoPackSize - fields_start;
  const size_t fields = PacketHeaderLength(pack + fields_start, available);
  if (fields == 0 || fields > packet_length) return;
  const size_t payload_start = fields_start + fields;
  const size_t payload_size = std::min(packet_length - fields, kVideoPackSize - payload_start);
  const uint8_t* payload = pack + payload_start;
  if (!carry_.empty()) ScanCarry(payload, payload_size);
  carry_.assign(payload, payload + payload_size);
  carry_sector_ = sector;
  carry_position_ = static_cast<uint16_t>(payload_start);
}

// Scans the buffered payload; a start code may reach into the new one.
void EntryScanner::ScanCarry(const uint8_t* payload, size_t payload_size) {
  auto byte = [&](size_t i) -> int {
    if (i < carry_.size()) return carry_[i];
    return i - carry_.size() < payload_size ? payload[i - carry_.size()] : -1;
  };
  for (size_t i = 0; i < carry_.size(); ++i) {
    if (byte(i) != 0 || byte(i + 1) != 0 || byte(i + 2) != 1) continue;
    const int code = byte(i + 3);
    if (code == start_code::kPicture) {
      const uint8_t header[2] = {static_cast<uint8_t>(byte(i + 4)),
                                 static_cast<uint8_t>(byte(i + 5))};
      NotePicture(header);
    } else if (code == start_code::kSequenceHeader) {
      pending_sector_ = carry_sector_;
      pending_position_ = static_cast<uint16_t>(carry_position_ + i);
    } else if (code == start_code::kGroupOfPictures) {
      pictures_since_group_ = 0;
    }
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
