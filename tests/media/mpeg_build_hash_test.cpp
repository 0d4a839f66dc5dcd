// A whole disc from a synthetic stream with start codes at every offset
// around the pack boundaries, audio packs, clock gaps, a padding pack and a
// second system header: its images must keep their hashes byte for byte.
#include <gtest/gtest.h>

#include "image/iso/recording_date.h"
#include "support/disc_build.h"
#include "support/media_tools.h"
#include "support/mpeg_synth.h"

namespace vcd2 {
namespace {

using test::MpegSynth;

constexpr uint32_t kTicks = 1200;  // clock ticks per sector

// Twenty groups of pictures whose every start code begins 0 to 7 bytes
// before the end of a pack's payload.
std::vector<uint8_t> SplitStartCodes() {
  std::vector<uint8_t> es;
  int piece = 0;
  auto place = [&](const std::vector<uint8_t>& code) {
    const size_t before = static_cast<size_t>(piece++ % 8);
    size_t at = (es.size() / MpegSynth::kVideoPayload + 1) * MpegSynth::kVideoPayload - before;
    if (at < es.size() + 8) at += MpegSynth::kVideoPayload;
    es.resize(at, 0x55);
    es.insert(es.end(), code.begin(), code.end());
  };
  for (uint16_t gop = 0; gop < 20; ++gop) {
    place(test::SequenceHeader(352, 288));
    place(test::GroupOfPictures());
    for (auto [reference, type] : {std::pair{2, 1}, {0, 3}, {1, 3}, {5, 2}, {3, 3}, {4, 3}}) {
      place(test::Picture(static_cast<uint16_t>(reference), static_cast<uint8_t>(type)));
    }
  }
  return es;
}

MpegSynth Stream() {
  const std::vector<uint8_t> es = SplitStartCodes();
  MpegSynth stream;
  uint32_t sector = 0;
  stream.SystemHeaderPack(0, 0xE0);
  for (size_t at = 0, pack = 0; at < es.size(); at += MpegSynth::kVideoPayload, ++pack) {
    const size_t end = std::min(es.size(), at + MpegSynth::kVideoPayload);
    const std::vector<uint8_t> payload(es.begin() + static_cast<long>(at),
                                       es.begin() + static_cast<long>(end));
    stream.Pack(++sector * kTicks, 0xE0, payload);
    if (pack % 3 == 2) stream.Pack(++sector * kTicks, 0xC0, {0xFF, 0xFD, 0x80, 0x04}, 2304);
    if (pack % 50 == 49) sector += 2;  // filler sectors
    if (pack == 77) stream.SystemHeaderPack(++sector * kTicks, 0xE0);
    if (pack == 99) stream.Pack(++sector * kTicks, 0xBE);
  }
  stream.Pack(++sector * kTicks, 0xE0, {}, 2320).EndCode();
  return stream;
}

TEST(MpegBuildHashTest, ADiscKeepsItsBytes) {
  PinRecordingDate(RecordingDate{126, 12, 5, 14, 30, 0, 4});
  test::TempDir dir;
  Stream().WriteTo((dir.Path() / "s.mpg").string());
  const auto build =
      test::BuildDisc(dir,
                      "OUTPUT 1 DIR \"data.bin\" 2 DIR \"track.bin\" ENDOUTPUT\n"
                      "MPGTRACK T 1 DIR \"s.mpg\"\nDEFENTRY E1 0:0:1:0 T DEFENTRY E2 0:0:2:30 T\n");
  PinRecordingDate(std::nullopt);
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  EXPECT_EQ(test::Sha256((dir.Path() / "track.bin").string()),
            "85356ffc2f17adc56ad1a0dadb3749963bb62540b77895268a7341aa1110b7b6");
  EXPECT_EQ(test::Sha256((dir.Path() / "data.bin").string()),
            "b82c6cd4d078e8ef9f2ef1514863e7d91ab1ac52bbcc28f7b62d8eb91ba64194");
}

}  // namespace
}  // namespace vcd2
