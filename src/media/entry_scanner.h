#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/picture_position.h"

namespace vcd2 {

// Follows the video packs of an MPEG track as they are written and records
// the sequence header in front of every intra-coded picture. A start
// code split over two packs is recorded with the pack that holds its first
// byte.
class EntryScanner {
 public:
  // Feeds one 2324-byte pack just written at sector.
  void ScanPack(const uint8_t* pack, uint32_t sector);

  const std::vector<PicturePosition>& SequenceHeaders() const { return sequence_headers_; }

 private:
  void ScanCarry(const uint8_t* payload, size_t payload_size);
  void NotePicture(const uint8_t* header);

  std::vector<uint8_t> carry_;
  uint32_t carry_sector_ = 0;
  uint16_t carry_position_ = 0;
  uint16_t pictures_since_group_ = 0;
  uint32_t pictures_since_start_ = 0;
  uint32_t pending_sector_ = 0;
  uint16_t pending_position_ = 0;  // 0: no sequence header pending
  std::vector<PicturePosition> sequence_headers_;
};

}  // namespace vcd2
