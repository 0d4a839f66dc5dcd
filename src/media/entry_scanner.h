#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/picture_position.h"

namespace vcd2 {

// Follows the video packs of an MPEG track as they are written and records
// the sequence header in front of every intra-coded picture. A start
// code split over two packs is recorded with the pack that holds its first
// byte. The start codes of a payload take effect when the next video payload
// comes, a system header or the stream's end: the payload itself is searched
// at once and only its last bytes are kept for the codes that reach into the
// next. A system header starts the stream anew: a sequence header whose
// picture lies behind it is dropped, and the video packet that follows it in
// its pack is scanned.
class EntryScanner {
 public:
  // Feeds one 2324-byte pack just written at sector.
  void ScanPack(const uint8_t* pack, uint32_t sector);
  // The stream has ended: the codes of the last video payload take effect.
  void Finish();

  const std::vector<PicturePosition>& SequenceHeaders() const { return sequence_headers_; }

 private:
  static constexpr size_t kCodeReach = 6;  // start code and the picture header's two bytes
  static constexpr size_t kTailSize = kCodeReach - 1;

  struct Code {
    uint16_t offset;  // in the payload
    uint8_t value;
    uint8_t header[2];  // a picture's temporal reference and type
  };

  void FindCodes(const uint8_t* payload, size_t payload_size);
  void ScanTail(const uint8_t* payload, size_t payload_size);
  void Apply(const Code& code);
  void NotePicture(const uint8_t* header);

  std::vector<Code> carry_codes_;  // found in the carried payload, in order
  uint8_t tail_[kTailSize] = {};   // the carried payload's last bytes
  size_t tail_size_ = 0;
  size_t carry_size_ = 0;  // 0: no payload carried
  uint32_t carry_sector_ = 0;
  uint16_t carry_position_ = 0;
  uint16_t pictures_since_group_ = 0;
  uint32_t pictures_since_start_ = 0;
  uint32_t pending_sector_ = 0;
  uint16_t pending_position_ = 0;  // 0: no sequence header pending
  std::vector<PicturePosition> sequence_headers_;
};

}  // namespace vcd2
