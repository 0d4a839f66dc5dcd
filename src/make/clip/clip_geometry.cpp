#include "make/clip/clip_geometry.h"

#include <cmath>
#include <cstdio>

namespace vcd2 {
namespace {

constexpr int kFrameWidth = 352;
constexpr int kPalHeight = 288;
constexpr int kNtscHeight = 240;
constexpr double kScreenAspect = 4.0 / 3.0;

int Even(double size) {
  return 2 * static_cast<int>(std::lround(size / 2));
}

bool Turned(int rotation) {
  return rotation == 90 || rotation == 270;
}

// The cut as trim options, and the shift that makes the cut start at 0.
std::string Cut(const char* trim, const char* setpts, double skip, double length) {
  char text[160];
  if (length > 0) {
    std::snprintf(text, sizeof text, "%s=start=%.6f:end=%.6f,%s=PTS-%.6f/TB", trim, skip,
                  skip + length, setpts, skip);
  } else {
    std::snprintf(text, sizeof text, "%s=start=%.6f,%s=PTS-%.6f/TB", trim, skip, setpts, skip);
  }
  return text;
}

}  // namespace

ClipPlacement PlacePicture(const ClipPicture& picture, bool pal) {
  ClipPlacement place;
  place.frame_height = pal ? kPalHeight : kNtscHeight;
  double sar = picture.sar_num > 0 && picture.sar_den > 0
                   ? static_cast<double>(picture.sar_num) / picture.sar_den
                   : 1.0;
  double width = picture.width * sar;
  double height = picture.height;
  if (Turned(picture.rotation)) std::swap(width, height);
  const double aspect = height > 0 ? width / height : kScreenAspect;
  if (aspect >= kScreenAspect) {
    place.width = kFrameWidth;
    place.height = std::min(place.frame_height, Even(place.frame_height * kScreenAspect / aspect));
  } else {
    place.height = place.frame_height;
    place.width = std::min(kFrameWidth, Even(kFrameWidth * aspect / kScreenAspect));
  }
  place.width = std::max(place.width, 2);
  place.height = std::max(place.height, 2);
  return place;
}

std::string VideoFilters(const ClipPicture& picture, bool pal, double skip, double length) {
  const ClipPlacement place = PlacePicture(picture, pal);
  std::string chain = Cut("trim", "setpts", skip, length) + ",yadif=deint=interlaced";
  switch (picture.rotation) {
    case 90:
      chain += ",transpose=clock";
      break;
    case 180:
      chain += ",hflip,vflip";
      break;
    case 270:
      chain += ",transpose=cclock";
      break;
    default:
      break;
  }
  char fit[200];
  std::snprintf(fit, sizeof fit,
                ",scale=%d:%d:flags=bicubic,setsar=1,pad=%d:%d:(ow-iw)/2:(oh-ih)/2:black,"
                "fps=%s:start_time=0,format=yuv420p",
                place.width, place.height, kFrameWidth, place.frame_height,
                pal ? "25" : "30000/1001");
  return chain + fit;
}

std::string AudioFilters(double skip, double length) {
  return Cut("atrim", "asetpts", skip, length) +
         ",aresample=44100:async=1:first_pts=0,"
         "aformat=sample_fmts=s16:sample_rates=44100:channel_layouts=stereo";
}

}  // namespace vcd2
