#include "media/video_unit_reader.h"

#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

constexpr size_t kReadSize = 16384;
constexpr size_t kStartCodeSize = 4;
constexpr size_t kSequenceFieldsEnd = 8;  // width, height and frame rate lie in bytes 4..7

}  // namespace

bool VideoUnitReader::Refill() {
  if (!file_) return false;
  const size_t old_size = bytes_.size();
  bytes_.resize(old_size + kReadSize);
  const size_t got = std::fread(bytes_.data() + old_size, 1, kReadSize, file_.get());
  bytes_.resize(old_size + got);
  return got != 0;
}

// The parse state after a start code; true when the code begins a new unit.
bool VideoUnitReader::EndsUnitAt(uint8_t code) {
  bool boundary = false;
  switch (code) {
    case start_code::kPicture:
      boundary = state_ == State::kPicture;
      state_ = State::kPicture;
      break;
    case start_code::kSequenceHeader:
      boundary = state_ != State::kNothing;
      state_ = State::kSequenceHeader;
      break;
    case start_code::kGroupOfPictures:
      boundary = state_ == State::kGroupHeader || state_ == State::kPicture;
      state_ = State::kGroupHeader;
      break;
    default:
      break;
  }
  return boundary && unit_length_ != 0;
}

bool VideoUnitReader::NextUnit() {
  // The next unit begins where the last one ended; a sequence end code that
  // ended it belongs to neither.
  size_t drop = has_unit_ ? unit_length_ : 0;
  if (has_unit_ && drop + kStartCodeSize <= bytes_.size() && bytes_[drop] == 0 &&
      bytes_[drop + 1] == 0 && bytes_[drop + 2] == 1 &&
      bytes_[drop + 3] == start_code::kSequenceEnd) {
    drop += kStartCodeSize;
  }
  bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(drop));
  has_unit_ = false;
  unit_length_ = 0;
  if (bytes_.empty() && !Refill()) return false;
  for (;;) {
    for (; unit_length_ + 3 < bytes_.size(); ++unit_length_) {
      if (unit_length_ >= kMaxUnitSize) return false;
      const uint8_t* b = bytes_.data() + unit_length_;
      if (b[0] != 0 || b[1] != 0 || b[2] != 1) continue;
      if (b[3] == start_code::kSequenceEnd) {
        state_ = State::kNothing;
        if (unit_length_ % 2 != 0) {
          bytes_.insert(bytes_.begin() + static_cast<std::ptrdiff_t>(unit_length_), 0);
          ++unit_length_;
        }
        has_unit_ = true;
        return true;
      }
      if (EndsUnitAt(b[3])) {
        has_unit_ = true;
        return true;
      }
    }
    if (!Refill()) return false;
  }
}

bool VideoUnitReader::ReadSequenceHeader() {
  if (!has_unit_ && !NextUnit()) return false;
  size_t i = 0;
  while (i < unit_length_ && bytes_[i] == 0) ++i;
  if (i < 2 || i + kSequenceFieldsEnd - 2 > unit_length_) return false;
  const uint8_t* s = bytes_.data() + i - 2;  // the zeros before the 01 begin the start code
  if (s[2] != 1 || s[3] != start_code::kSequenceHeader) return false;
  width_ = static_cast<uint16_t>(s[4] << 4 | s[5] >> 4);
  height_ = static_cast<uint16_t>((s[5] & 0x0F) << 8 | s[6]);
  frame_rate_code_ = s[7] & 0x0F;
  return true;
}

bool VideoUnitReader::CopyUnit(std::vector<uint8_t>& destination) {
  if (!has_unit_) return false;
  destination.insert(destination.end(), bytes_.begin(),
                     bytes_.begin() + static_cast<std::ptrdiff_t>(unit_length_));
  NextUnit();
  return true;
}

}  // namespace vcd2
