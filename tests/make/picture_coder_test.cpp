// MPEG stills made from pictures, decoded back with libavcodec.
#include "make/picture_coder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "make/picture_decoder.h"
#include "make/picture_scaler.h"
#include "support/media_tools.h"
#include "support/pack_parser.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

const std::atomic<bool> kGoOn{false};

// The first picture of an MPEG-1 video stream.
AvFrame DecodeStill(const std::vector<uint8_t>& stream) {
  const AvCodec codec(avcodec_alloc_context3(avcodec_find_decoder(AV_CODEC_ID_MPEG1VIDEO)));
  const AvPacket packet(av_packet_alloc());
  AvFrame frame(av_frame_alloc());
  if (avcodec_open2(codec.get(), codec->codec, nullptr) < 0 ||
      av_new_packet(packet.get(), static_cast<int>(stream.size())) < 0) {
    return nullptr;
  }
  std::copy(stream.begin(), stream.end(), packet->data);
  avcodec_send_packet(codec.get(), packet.get());
  avcodec_send_packet(codec.get(), nullptr);
  return avcodec_receive_frame(codec.get(), frame.get()) >= 0 ? std::move(frame) : nullptr;
}

double LumaPsnr(const AVFrame& a, const AVFrame& b) {
  double squares = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const double d = a.data[0][y * a.linesize[0] + x] - b.data[0][y * b.linesize[0] + x];
      squares += d * d;
    }
  }
  const double mse = squares / (a.width * a.height);
  return 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
}

uint8_t Luma(const AVFrame& frame, int x, int y) {
  return frame.data[0][y * frame.linesize[0] + x];
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
                        {0x81, 352, 288, 3, 46 * 1024},
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
      EXPECT_EQ(std::vector<uint8_t>(still.begin(), still.begin() + 4),
                (std::vector<uint8_t>{0, 0, 1, 0xB3}));
      EXPECT_EQ(still[7] & 0x0F, c.rate_code);
      const unsigned vbv = (still[10] & 0x1F) << 5 | still[11] >> 3;
      EXPECT_EQ(vbv, (still.size() + 2047) / 2048);
      const AvFrame decoded = DecodeStill(still);
      ASSERT_TRUE(decoded);
      EXPECT_EQ(decoded->width, c.width);
      EXPECT_EQ(decoded->height, c.height);
      if (source != pattern_) continue;
      const AvFrame reference = FitToFrame(*DecodePicture(source), c.width, c.height);
      EXPECT_GT(LumaPsnr(*decoded, *reference), 30.0);
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
  for (const auto& p : points) EXPECT_EQ(Luma(p.frame, p.x, p.y), p.luma) << p.x << "," << p.y;
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
