#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcd2 {

// Where a picture or sequence header lies in a track.
struct PicturePosition {
  uint32_t sector = 0;    // relative to the track's LBA 0
  uint16_t position = 0;  // byte in the pack
  uint32_t picture = 0;   // display-order number from the start of the track
};

// Follows the video packs of an MPEG track as they are written and records
// every intra-coded picture and the sequence header in front of it. A start
// code split over two packs is recorded with the pack that holds its first
// byte.
class EntryScanner {
 public:
  // Feeds one 2324-byte pack just written at sector.
  void ScanPack(const uint8_t* pack, uint32_t sector);

  const std::vector<PicturePosition>& IntraPictures() const { return intra_pictures_; }
  const std::vector<PicturePosition>& SequenceHeaders() const { return sequence_headers_; }

 private:
  void ScanCarry(const uint8_t* payload, size_t payload_size);
  void NotePicture(const uint8_t* code, size_t at);

  std::vector<uint8_t> carry_;
  uint32_t carry_sector_ = 0;
  uint16_t carry_position_ = 0;
  uint16_t pictures_since_group_ = 0;
  uint32_t pictures_since_start_ = 0;
  uint32_t pending_sector_ = 0;
  uint16_t pending_position_ = 0;  // 0: no sequence header pending
  std::vector<PicturePosition> intra_pictures_;
  std::vector<PicturePosition> sequence_headers_;
};

}  // namespace vcd2
