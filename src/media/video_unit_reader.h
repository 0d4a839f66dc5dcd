#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/unique_file.h"

namespace vcd2 {

// Cuts an MPEG-1 video elementary stream into units: one picture with the
// sequence header and group-of-pictures header in front of it. A unit ends
// where the next one begins or at a sequence end code, which is not part of
// it; a unit ended by the end code is made even in length with one zero
// byte. The bytes after the last boundary are never a unit.
class VideoUnitReader {
 public:
  static constexpr size_t kMaxUnitSize = 4 << 20;  // a larger unit is no picture of ours

  explicit VideoUnitReader(UniqueFile file) : file_(std::move(file)) {}

  // Finds the next unit; false at the end of the stream.
  bool NextUnit();
  // Parses the sequence header at the start of the current unit, finding the
  // first unit when none is current.
  bool ReadSequenceHeader();
  // Bytes of the current unit; 0 without one.
  size_t GetUnitSize() const { return has_unit_ ? unit_length_ : 0; }
  // Appends the current unit to destination, then finds the next one. False
  // without a current unit.
  bool CopyUnit(std::vector<uint8_t>& destination);

  uint16_t Width() const { return width_; }
  uint16_t Height() const { return height_; }
  uint8_t FrameRateCode() const { return frame_rate_code_; }

 private:
  enum class State { kNothing, kSequenceHeader, kGroupHeader, kPicture };

  bool Refill();
  bool EndsUnitAt(uint8_t code);

  UniqueFile file_;
  std::vector<uint8_t> bytes_;  // from the first byte of the current unit on
  size_t unit_length_ = 0;      // also the scan position
  bool has_unit_ = false;
  State state_ = State::kNothing;
  uint16_t width_ = 0;
  uint16_t height_ = 0;
  uint8_t frame_rate_code_ = 0;
};

}  // namespace vcd2
