// MPEG stills made from pictures, read back by ffprobe and ffmpeg.
#include "make/picture_coder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "make/make_codecs.h"
#include "make/picture_decoder.h"
#include "make/picture_header.h"
#include "make/picture_scaler.h"
#include "support/media_tools.h"
#include "support/message_capture.h"
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
    portrait_ = picture("portrait.png", "color=white:size=300x400");
    pal_ = picture("pal.png", "color=white:size=704x576");
    dvd_ = picture("dvd.jpg", "color=white:size=720x576");
  }
  static void TearDownTestSuite() { delete dir_; }

  static inline test::TempDir* dir_;
  static inline std::string pattern_, noise_, wide_, square_, portrait_, pal_, dvd_;
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

// Television sizes fill the 4:3 frame; a square and a portrait picture sit
// between bars that are black to the last column once the still is decoded,
// whatever the width the picture is scaled to.
TEST_F(PictureCoderTest, DecodedStillsAreBlackBesideThePicture) {
  const struct {
    const std::string& source;
    uint32_t mode;
    int width, height, first, last;  // the picture's columns
  } cases[] = {{pal_, 0x03, 704, 576, 0, 703},
               {dvd_, 0x01, 352, 288, 0, 351},
               {square_, 0x00, 352, 240, 44, 307},
               {portrait_, 0x03, 704, 576, 154, 549}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    const std::string target = dir_->Path() / "still.mpg";
    ASSERT_EQ(EncodeStill(c.source, target, c.mode, kGoOn), 0);
    const std::string gray =
        test::Capture("ffmpeg -v error -i '" + target + "' -f rawvideo -pix_fmt gray -");
    ASSERT_EQ(gray.size(), size_t(c.width * c.height));
    for (int x = 0; x < c.width; ++x) {
      uint8_t darkest = 255, brightest = 0;
      for (int y = 0; y < c.height; ++y) {
        const auto luma = static_cast<uint8_t>(gray[y * c.width + x]);
        darkest = std::min(darkest, luma);
        brightest = std::max(brightest, luma);
      }
      if (x >= c.first && x <= c.last) {
        EXPECT_GE(darkest, 240) << x;
      } else {
        EXPECT_LE(brightest, 16) << x;
      }
    }
  }
}

// The header alone decides: format, size, and at most 16 Mpixel, refused
// before anything is decoded.
TEST_F(PictureCoderTest, PictureHeadersAcceptedOrRefused) {
  const auto png = [](uint32_t width, uint32_t height) {
    std::string bytes("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
    for (uint32_t v : {width, height}) {
      for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(v >> shift);
    }
    return bytes + std::string("\x08\x06\0\0\0", 5);
  };
  const auto bmp = [](uint32_t info, int32_t width, int32_t height) {
    std::string bytes = "BM" + std::string(12, '\0');
    for (uint32_t v : {info, static_cast<uint32_t>(width), static_cast<uint32_t>(height)}) {
      for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(v >> shift);
    }
    return bytes;
  };
  // A progressive JPEG's frame header behind an APP0 segment.
  const std::string jpeg("\xFF\xD8\xFF\xE0\0\x04\0\0\xFF\xFF\xC2\0\x11\x08\x23\x28\x23\x28", 18);
  const auto big = [](const char* size) {
    return "it is " + std::string(size) +
           " pixels; pictures of up to 16777216 pixels (4096 x 4096) are taken";
  };
  const struct {
    std::string name, bytes, found;  // "FORMAT WxH", or why it is refused
  } cases[] = {{"ok.png", png(4096, 4096), "PNG 4096x4096"},
               {"big.png", png(5000, 4000), big("5000 x 4000")},
               {"cut.png", png(5000, 4000).substr(0, 20), "its PNG header gives no picture size"},
               {"down.bmp", bmp(40, 100, -50), "BMP 100x50"},
               {"os2.bmp", bmp(12, 30 | 20 << 16, 0), "BMP 30x20"},
               {"big.jpg", jpeg, big("9000 x 9000")},
               {"text.png", "plain text", "it is no BMP, PNG or JPEG picture"}};
  for (const auto& c : cases) {
    const std::string path = dir_->Write(c.name, c.bytes);
    std::string why;
    const auto header = AcceptPicture(path, why);
    EXPECT_EQ(header ? std::string(header->format) + " " + std::to_string(header->width) + "x" +
                           std::to_string(header->height)
                     : why,
              c.found)
        << c.name;
  }
  std::string why;
  const auto made = AcceptPicture(wide_, why);
  ASSERT_TRUE(made);
  EXPECT_EQ(std::string(made->format) + " " + std::to_string(made->width), "JPEG 640");
  EXPECT_NE(EncodeStill(dir_->Path() / "big.png", dir_->Path() / "big.mpg", 0x01, kGoOn), 0);
}

// An error the decoder logs for a picture it still decodes (rows without
// their padding) is a warning of ours, and nothing reaches the terminal.
TEST_F(PictureCoderTest, LibraryErrorsBecomeWarnings) {
  std::string bmp("BM\x42\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0", 30);
  bmp += std::string(24, '\0') + std::string(12, '\x80');
  const std::string source = dir_->Write("unpadded.bmp", bmp);
  const MakeCodecs* codecs = LoadMakeCodecs();
  ASSERT_NE(codecs, nullptr);
  test::MessageCapture capture;
  testing::internal::CaptureStderr();
  EXPECT_EQ(codecs->encode_still(source, dir_->Path() / "unpadded.mpg", 0x01, kGoOn), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(capture.Warnings(), std::vector<std::string>{"FFmpeg (bmp): data size too small, "
                                                         "assuming missing line alignment"});
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
