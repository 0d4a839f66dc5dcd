#include "make/still_pair.h"

#include <cstdio>

#include "base/error_reporter.h"
#include "media/mpeg_constants.h"
#include "media/video_unit_reader.h"

namespace vcd2 {
namespace {

constexpr uint16_t kLowWidth = picture::kWidth;
constexpr uint16_t kHighWidth = 2 * picture::kWidth;
constexpr uint16_t kPalLowHeight = picture::kPalHeight;
constexpr uint16_t kNtscLowHeight = picture::kNtscHeight;

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
  return true;
}

}  // namespace vcd2
