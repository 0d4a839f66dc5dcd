// MPEG stills made from pictures, read back by ffprobe and ffmpeg.
#include "make/picture_coder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "make/picture_decoder.h"
#include "make/picture_scaler.h"
#include "support/media_tools.h"
#include "support/pack_parser.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

const std::atomic<bool> kGoOn{false};

// The luma PSNR of a still against the picture scaled to its size, by ffmpeg.
double LumaPsnr(const std::string& still, const std::string& picture, int width, int height) {
  const std::string log = test::Capture("ffmpeg -i '" + still + "' -i '" + picture +
                                        "' -lavfi '[1]scale=" + std::to_string(width) + ":" +
                                        std::to_string(height) + "[r];[0][r]psnr' -f null - 2>&1");
  const size_t at = log.find("PSNR y:");
  return at == std::string::npos ? 0 : std::stod(log.substr(at + 7));
}

class PictureCoderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    const auto picture = [](const std::string& name, const std::string& filter) {
      const std::string path = dir_->Path() / name;
      EXPECT_EQ(test::Shell("ffmpeg -y -f lavfi -i '" + filter + "' -frames:v 1 '" + path + "'"),
                0);
      return path;
    };
    pattern_ = picture("pattern.bmp", "testsrc2=size=640x480");
    noise_ = picture("noise.png", "nullsrc=size=800x600,geq=random(1)*255:random(2)*255:128");
    wide_ = picture("wide.jpg", "color=white:size=640x360");
    square_ = picture("square.bmp", "color=white:size=300x300");
  }
  static void TearDownTestSuite() { delete dir_; }

  static inline test::TempDir* dir_;
  static inline std::string pattern_, noise_, wide_, square_;
};

TEST_F(PictureCoderTest, StillsDecodeAtTheModesSizeAndFitTheirBuffer) {
  struct Case {
    uint32_t mode;
    int width, height, rate_code;
    size_t buffer;
  };
  const Case cases[] = {{0x00, 352, 240, 4, 46 * 1024},
                        {0x01, 352, 288, 3, 46 * 1024},
                        {0x02, 704, 480, 4, 220 * 1024},
                        {0x03, 704, 576, 3, 220 * 1024}};
  for (const Case& c : cases) {
    for (const std::string& source : {pattern_, noise_}) {
      SCOPED_TRACE(testing::Message() << "mode " << c.mode << " " << source);
      const std::string target = dir_->Path() / "still.mpg";
      ASSERT_EQ(EncodeStill(source, target, c.mode, kGoOn), 0);
      const std::vector<uint8_t> still = test::ReadBytes(target);
      ASSERT_GT(still.size(), 12u);
      EXPECT_LE(still.size(), c.buffer);
      EXPECT_EQ(std::vector<uint8_t>(still.end() - 4, still.end()),
                (std::vector<uint8_t>{0, 0, 1, 0xB7}));
      EXPECT_EQ(still[7] & 0x0F, c.rate_code);
      const unsigned vbv = (still[10] & 0x1F) << 5 | still[11] >> 3;
      EXPECT_EQ(vbv, (still.size() + 2047) / 2048);
      const auto probe = test::ProbeStream(target);
      EXPECT_EQ(probe.at("width"), std::to_string(c.width));
      EXPECT_EQ(probe.at("height"), std::to_string(c.height));
      if (source != pattern_) continue;
      EXPECT_GT(LumaPsnr(target, source, c.width, c.height), 30.0);
    }
  }
}

// A 16:9 picture is letterboxed on the 4:3 screen, a square one pillarboxed;
// the bars are video black, the picture white.
TEST_F(PictureCoderTest, PicturesKeepTheirProportions) {
  const AvFrame wide = FitToFrame(*DecodePicture(wide_), 352, 288);
  const AvFrame square = FitToFrame(*DecodePicture(square_), 704, 480);
  ASSERT_TRUE(wide && square);
  // The picture's first and last rows (216 of 288) and columns (528 of 704).
  const struct {
    const AVFrame& frame;
    int x, y, luma;
  } points[] = {{*wide, 176, 35, 16},     {*wide, 176, 36, 235},  {*wide, 176, 251, 235},
                {*wide, 176, 252, 16},    {*square, 87, 240, 16}, {*square, 88, 240, 235},
                {*square, 615, 240, 235}, {*square, 616, 240, 16}};
  for (const auto& p : points) {
    EXPECT_EQ(p.frame.data[0][p.y * p.frame.linesize[0] + p.x], p.luma) << p.x << "," << p.y;
  }
}

TEST_F(PictureCoderTest, FailuresLeaveNoTarget) {
  const std::string target = dir_->Path() / "none.mpg";
  const std::string text = dir_->Write("text.bmp", "BM but no picture");
  const std::atomic<bool> stop{true};
  EXPECT_NE(EncodeStill(text, target, 0x01, kGoOn), 0);
  EXPECT_NE(EncodeStill(dir_->Path() / "missing.bmp", target, 0x01, kGoOn), 0);
  EXPECT_NE(EncodeStill(pattern_, target, 0x03, stop), 0);
  EXPECT_NE(EncodeStill(pattern_, dir_->Path() / "no-dir" / "x.mpg", 0x03, kGoOn), 0);
  for (const auto& name : dir_->Listing()) EXPECT_EQ(name.find("none.mpg"), name.npos) << name;
}

}  // namespace
}  // namespace vcd2
