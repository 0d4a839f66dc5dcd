#include "make/still_pair.h"

#include <algorithm>
#include <cstdio>

#include "base/error_reporter.h"
#include "make/mux_packs.h"
#include "media/mpeg_constants.h"
#include "media/video_unit_reader.h"

namespace vcd2 {
namespace {

constexpr uint16_t kLowWidth = picture::kWidth;
constexpr uint16_t kHighWidth = 2 * picture::kWidth;
constexpr uint16_t kPalLowHeight = picture::kPalHeight;
constexpr uint16_t kNtscLowHeight = picture::kNtscHeight;
constexpr size_t kLowBuffer = size_t{kLowBufferKb} * 1024;
constexpr size_t kHighBufferLimit = size_t{0x1FFF} * 1024;  // the 13-bit buffer size field

bool HasPicture(const std::vector<uint8_t>& unit) {
  const uint8_t picture_start[] = {0x00, 0x00, 0x01, start_code::kPicture};
  return std::search(unit.begin(), unit.end(), std::begin(picture_start),
                     std::end(picture_start)) != unit.end();
}

// A picture must fit the decoder buffer its stream declares: 46 KB for the
// low picture, what the buffer size field can say for the high one.
Status CheckSize(const StillPicture& still, size_t buffer, const std::string& path) {
  if (still.bytes.size() <= buffer) return true;
  ReportError("Still MPEG stream %s is too large: its picture has %zu bytes, its buffer %zu.",
              path.c_str(), still.bytes.size(), buffer);
  return false;
}

// The first unit of a still file; a file without one is reported.
Status ReadStill(const std::string& path, StillPicture& still) {
  VideoUnitReader reader(UniqueFile(std::fopen(path.c_str(), "rb")));
  if (!reader.ReadSequenceHeader() || reader.GetUnitSize() == 0) {
    ReportError("Invalid Still MPEG stream %s.", path.c_str());
    return false;
  }
  still.width = reader.Width();
  still.height = reader.Height();
  still.frame_rate_code = reader.FrameRateCode();
  (void)reader.CopyUnit(still.bytes);
  if (!HasPicture(still.bytes)) {
    ReportError("Invalid Still MPEG stream %s.", path.c_str());
    return false;
  }
  const uint8_t end_code[] = {0x00, 0x00, 0x01, start_code::kSequenceEnd};
  still.bytes.insert(still.bytes.end(), std::begin(end_code), std::end(end_code));
  return true;
}

bool IsLowHeight(uint16_t height) {
  return height == kPalLowHeight || height == kNtscLowHeight;
}

}  // namespace

Status LoadStillPair(const std::string& a, const std::string* b, StillPair& pair) {
  StillPicture first;
  if (!ReadStill(a, first)) return false;
  const std::string* low_path = &a;
  const std::string* high_path = b;
  if (b == nullptr) {
    pair.low = std::move(first);
  } else {
    StillPicture second;
    if (!ReadStill(*b, second)) return false;
    if (first.width == kLowWidth && second.width != kHighWidth) {
      ReportError("Still MPEG stream %s must be 704 pixel wide.", b->c_str());
      return false;
    }
    if (first.width == kHighWidth && second.width != kLowWidth) {
      ReportError("Still MPEG stream %s must be 352 pixel wide.", b->c_str());
      return false;
    }
    if (first.width != kLowWidth && first.width != kHighWidth) {
      ReportError("Still MPEG stream %s must be 352 or 704 pixel wide.", a.c_str());
      return false;
    }
    const bool a_is_low = first.width == kLowWidth;
    low_path = a_is_low ? &a : b;
    high_path = a_is_low ? b : &a;
    pair.low = std::move(a_is_low ? first : second);
    pair.high = std::move(a_is_low ? second : first);
  }
  if (!IsLowHeight(pair.low.height)) {
    ReportError("Still MPEG stream %s must be 288 or 240 pixel high.", a.c_str());
    return false;
  }
  if (pair.high && pair.high->height != 2 * kPalLowHeight &&
      pair.high->height != 2 * kNtscLowHeight) {
    ReportError("Still MPEG stream %s must be 576 or 480 pixel high.", a.c_str());
    return false;
  }
  if (pair.high && !CheckSize(*pair.high, kHighBufferLimit, *high_path)) return false;
  return CheckSize(pair.low, kLowBuffer, *low_path);
}

}  // namespace vcd2
