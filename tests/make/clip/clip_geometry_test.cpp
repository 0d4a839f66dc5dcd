// How a clip's picture is fitted into the Video CD frame.
#include "make/clip/clip_geometry.h"

#include <gtest/gtest.h>

namespace vcd2 {
namespace {

TEST(ClipGeometryTest, FitsByDisplayAspect) {
  struct Case {
    const char* what;
    ClipPicture picture;
    bool pal;
    int width;
    int height;
  } cases[] = {
      {"4:3 square pels", {640, 480, 1, 1, 0}, true, 352, 288},
      {"16:9 square pels, letterboxed", {1280, 720, 1, 1, 0}, true, 352, 216},
      {"16:9 on NTSC", {1920, 1080, 0, 1, 0}, false, 352, 180},
      {"anamorphic DVD 16:9", {720, 576, 64, 45, 0}, true, 352, 216},
      {"DVD 4:3", {720, 576, 16, 15, 0}, true, 352, 288},
      {"portrait by rotation, pillarboxed", {1280, 720, 1, 1, 90}, true, 148, 288},
      {"upside down keeps its shape", {1280, 720, 1, 1, 180}, true, 352, 216},
      {"portrait stored upright", {720, 1280, 1, 1, 0}, true, 148, 288},
      {"2.39:1 cinema", {1920, 804, 1, 1, 0}, true, 352, 160},
  };
  for (const Case& c : cases) {
    const ClipPlacement place = PlacePicture(c.picture, c.pal);
    EXPECT_EQ(place.width, c.width) << c.what;
    EXPECT_EQ(place.height, c.height) << c.what;
    EXPECT_EQ(place.frame_height, c.pal ? 288 : 240) << c.what;
  }
}

TEST(ClipGeometryTest, FiltersTurnCutAndConvert) {
  const std::string turned = VideoFilters({1280, 720, 1, 1, 90}, true, 1.5, 2);
  EXPECT_NE(turned.find("trim=start=1.500000:end=3.500000"), std::string::npos) << turned;
  EXPECT_NE(turned.find("transpose=clock"), std::string::npos) << turned;
  EXPECT_NE(turned.find("yadif"), std::string::npos) << turned;
  EXPECT_NE(turned.find("fps=25"), std::string::npos) << turned;
  const std::string ntsc = VideoFilters({640, 480, 1, 1, 270}, false, 0, 0);
  EXPECT_NE(ntsc.find("transpose=cclock"), std::string::npos) << ntsc;
  EXPECT_NE(ntsc.find("fps=30000/1001"), std::string::npos) << ntsc;
  EXPECT_EQ(ntsc.find(":end="), std::string::npos) << ntsc;
}

}  // namespace
}  // namespace vcd2
