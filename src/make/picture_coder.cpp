#include "make/picture_coder.h"

#include <cstdio>
#include <vector>

#include "base/unique_file.h"
#include "make/intra_picture.h"
#include "make/pending_file.h"
#include "make/picture_decoder.h"
#include "make/picture_header.h"
#include "make/picture_scaler.h"
#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

enum StillResult : int32_t {
  kEncoded = 0,
  kNoPicture = 1,
  kNoFit = 2,
  kStopped = 3,
  kNotWritten = 4
};

constexpr uint8_t kSequenceEndCode[] = {0x00, 0x00, 0x01, 0xB7};
// A low-resolution still must fit the 46 KB video buffer of a Video CD; a
// high-resolution one declares the buffer it needs, at most 110 units.
constexpr size_t kLowResolutionBuffer = 23 * kVbvUnit;
constexpr size_t kHighResolutionBuffer = 110 * kVbvUnit;

struct StillFrame {
  int width;
  int height;
  bool pal;
  size_t buffer;
};

StillFrame FrameOf(uint32_t mode) {
  const bool pal = (mode & kStillPal) != 0;
  const int height = pal ? picture::kPalHeight : picture::kNtscHeight;
  if ((mode & kStillHighResolution) != 0) {
    return {2 * picture::kWidth, 2 * height, pal, kHighResolutionBuffer};
  }
  return {picture::kWidth, height, pal, kLowResolutionBuffer};
}

// The stream at the finest quantiser whose picture, end code included,
// fits the buffer; bisection over the quantiser scale. Empty when even the
// coarsest does not fit or abort was set.
std::vector<uint8_t> FitPicture(const AVFrame& frame, const StillFrame& still,
                                const std::atomic<bool>& abort, StillResult& result) {
  const auto fits = [&](const std::vector<uint8_t>& stream) {
    return !stream.empty() && stream.size() + sizeof kSequenceEndCode <= still.buffer;
  };
  std::vector<uint8_t> best = EncodeIntraPicture(frame, kCoarsestQuantiser, still.pal);
  if (!fits(best)) {
    result = kNoFit;
    return {};
  }
  int coarse = kCoarsestQuantiser;  // fits
  int fine = kBestQuantiser - 1;    // does not fit, or lies below the scale
  while (coarse - fine > 1) {
    if (abort) {
      result = kStopped;
      return {};
    }
    const int middle = (coarse + fine) / 2;
    std::vector<uint8_t> stream = EncodeIntraPicture(frame, middle, still.pal);
    if (fits(stream)) {
      best = std::move(stream);
      coarse = middle;
    } else {
      fine = middle;
    }
  }
  return best;
}

int32_t WriteStill(const std::string& target, std::vector<uint8_t> stream) {
  stream.insert(stream.end(), std::begin(kSequenceEndCode), std::end(kSequenceEndCode));
  const auto units = static_cast<uint32_t>((stream.size() + kVbvUnit - 1) / kVbvUnit);
  if (!SetVbvBufferSize(stream, units)) return kNotWritten;
  PendingFile pending(target);
  if (!pending.Created()) return kNotWritten;
  UniqueFile file(std::fopen(pending.Path().c_str(), "wb"));
  if (!file || std::fwrite(stream.data(), 1, stream.size(), file.get()) != stream.size() ||
      std::fclose(file.release()) != 0 || !pending.Commit()) {
    return kNotWritten;
  }
  return kEncoded;
}

}  // namespace

int32_t EncodeStill(const std::string& source, const std::string& target, uint32_t mode,
                    const std::atomic<bool>& abort) {
  if (abort) return kStopped;
  std::string why;
  if (!AcceptPicture(source, why)) return kNoPicture;
  const AvFrame picture = DecodePicture(source);
  if (!picture) return kNoPicture;
  return EncodeStillPicture(*picture, target, mode, abort);
}

int32_t EncodeStillPicture(const AVFrame& picture, const std::string& target, uint32_t mode,
                           const std::atomic<bool>& abort) {
  if (abort) return kStopped;
  const StillFrame still = FrameOf(mode);
  const AvFrame frame = FitToFrame(picture, still.width, still.height);
  if (!frame) return kNoPicture;
  StillResult result = kEncoded;
  std::vector<uint8_t> stream = FitPicture(*frame, still, abort, result);
  if (result != kEncoded) return result;
  return WriteStill(target, std::move(stream));
}

}  // namespace vcd2
