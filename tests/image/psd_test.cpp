// Playback control, segment play items and CD-i files on a whole disc, read
// back by a small walker of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "base/byte_order.h"
#include "image/psd_descriptors.h"
#include "model/items.h"
#include "support/disc_build.h"
#include "support/iso_reader.h"
#include "support/mpeg_synth.h"

namespace vcd2 {
namespace {

// The play items' numbers are checked on the disc below.
TEST(PsdDescriptorTest, SizesOffsetsAndTargets) {
  PsdList end_target(ListKind::kPlayList, "E");
  end_target.offset = 7;
  end_target.extended_offset = 9;
  PsdList selection(ListKind::kSelection, "S");
  selection.lid = 3;
  selection.previous.kind = TargetKind::kStop;
  selection.next.kind = TargetKind::kList;
  selection.next.list = &end_target;
  selection.default_target.kind = TargetKind::kMultiNum;
  selection.timeout.kind = TargetKind::kStart;
  for (TargetKind kind : {TargetKind::kNone, TargetKind::kMulti, TargetKind::kStart}) {
    LabelRef item;
    item.kind = kind;
    item.area = {1, 2, 3, 4};
    selection.selection_items.push_back(item);
  }
  const auto plain = BuildDescriptor(selection, PsdForm::kPlain, 40);
  const auto extended = BuildDescriptor(selection, PsdForm::kExtended, 50);
  EXPECT_EQ(plain.size(), 26u);
  EXPECT_EQ(extended.size(), 54u);
  EXPECT_EQ(DescriptorSize(selection, PsdForm::kPlain), 26u);
  EXPECT_EQ(plain[0], 0x18);
  EXPECT_EQ(extended[0], 0x1A);
  // LID 3; PREVIOUS STOP: the end list; NEXT a list; RETURN NONE; DEFAULT
  // MULTINUM; TIMEOUT START; then the items NONE, MULTI and START.
  const std::pair<size_t, uint16_t> plain_fields[] = {
      {4, 3}, {6, 40}, {8, 7}, {10, 0xFFFF}, {12, 0xFFFD}, {14, 0}, {20, 0xFFFF}, {22, 0xFFFE}};
  for (const auto& [at, value] : plain_fields) EXPECT_EQ(LoadBigEndian16(plain.data() + at), value);
  EXPECT_EQ(LoadBigEndian16(extended.data() + 6), 50);
  EXPECT_EQ(LoadBigEndian16(extended.data() + 8), 9);
  EXPECT_EQ(extended[20 + 6 + 16], 1);  // the first item's area
  EXPECT_EQ(extended[53], 4);
}

class InteractiveDiscTest : public test::DiscTest {
 protected:
  std::vector<uint8_t> Volume(uint32_t lsn, uint32_t size) const {
    return test::ReadVolumeFile(Out("data.bin"), lsn, size);
  }
};

const char kInteractive[] = R"(
OUTPUT 1 DIR "data.bin" 2 DIR "t1.bin" ENDOUTPUT
FILE "APP.TXT" DIR "app.txt"
MPGTRACK MOVIE 1 DIR "movie.mpg"
DEFENTRY CHAPTER -0:0:0:1 MOVIE
SEGMENT A 1 DIR "a.mpg"
SEGMENT B 2 DIR "b.mpg"
SEGMENT C 3 DIR "c.mpg"
SELECTION START PLAY A ITEMS PA PB PC STOP ENDITEMS RETURN NONE TIMEOUT PA ENDSELECTION
PLAYLIST PA PLAY MOVIE CHAPTER ENDPLAY NEXT START ENDPLAYLIST
PLAYLIST PB PLAY B ENDPLAY RETURN START ENDPLAYLIST
PLAYLIST PC PLAY C A ENDPLAY PREVIOUS PB ENDPLAYLIST
)";

TEST_F(InteractiveDiscTest, SegmentsCdiFilesAndInfo) {
  test::WriteVideoStream(Out("a.mpg"), 100);
  test::WriteVideoStream(Out("b.mpg"), 300);
  test::WriteVideoStream(Out("c.mpg"), 151);
  test::WriteVideoStream(Out("movie.mpg"), 200);
  dir_.Write("app.txt", std::string(5000, 'a'));
  const auto build = test::BuildDisc(dir_, kInteractive);
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  test::IsoReader reader(Out("data.bin"));
  const auto cdi = reader.List("/CDI/");
  ASSERT_TRUE(cdi);
  ASSERT_EQ(cdi->size(), 1u);
  EXPECT_EQ(cdi->at(0).size, 5000u);
  const uint32_t volume_end = cdi->at(0).lsn;  // CD-i files come first
  const auto segments = reader.List("/SEGMENT/");
  ASSERT_TRUE(segments);
  ASSERT_EQ(segments->size(), 3u);
  const uint32_t first = (volume_end + 3 + 149) / 150 * 150;
  const std::vector<std::tuple<std::string, uint32_t, uint32_t>> expected = {
      {"ITEM0001.DAT;1", first, 150 * 2048},
      {"ITEM0002.DAT;1", first + 150, 300 * 2048},
      {"ITEM0004.DAT;1", first + 450, 300 * 2048}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(segments->at(i).name, std::get<0>(expected[i]));
    EXPECT_EQ(segments->at(i).lsn, std::get<1>(expected[i]));
    EXPECT_EQ(segments->at(i).size, std::get<2>(expected[i]));
    EXPECT_EQ(segments->at(i).attributes, 0x1555);
  }
  for (uint32_t end : {first + 149, first + 449, first + 749}) {
    EXPECT_EQ(test::ReadImageSector(Out("data.bin"), static_cast<int32_t>(end))[18] & 0x80, 0x80);
  }
  EXPECT_EQ(test::ReadImageSector(Out("data.bin"), static_cast<int32_t>(first + 100))[16], 1);
  const RawSector info = test::ReadImageSector(Out("data.bin"), 150);
  const uint8_t* data = info.data() + 24;
  EXPECT_EQ(LoadBigEndian16(data + 54), 5);
  const uint8_t content = data[56];
  EXPECT_EQ(content, 0x1C);  // PAL motion, no audio
  EXPECT_EQ(std::vector<int>(data + 56, data + 61),
            (std::vector<int>{content, content, content | 0x20, content, content | 0x20}));
  EXPECT_EQ(LoadBigEndian16(data + 52), 4 + 2);
  EXPECT_EQ(test::DiscAddress(data + 48), static_cast<int32_t>(first));
}

// From LID 1 through every descriptor: each offset lands on a descriptor,
// each play item names something on the disc, and PSD_X.VCD says what
// PSD.VCD says, with extended offsets wherever PSD.VCD has plain ones.
TEST_F(InteractiveDiscTest, TheWalkerFollowsBothPsdFiles) {
  for (const char* name : {"a.mpg", "b.mpg", "c.mpg", "movie.mpg"}) {
    test::WriteVideoStream(Out(name), 40);
  }
  dir_.Write("app.txt", "x");
  ASSERT_EQ(test::BuildDisc(dir_, kInteractive).result, 0);
  test::IsoReader reader(Out("data.bin"));
  const auto ext = reader.List("/EXT/");
  const auto vcd = reader.List("/VCD/");
  ASSERT_TRUE(ext && vcd && ext->size() == 2 && vcd->size() == 4);
  EXPECT_EQ(vcd->at(3).name, "PSD.VCD;1");
  EXPECT_EQ(vcd->at(3).lsn, 184u);
  const auto lot = Volume(152, 65536);
  const auto lot_x = Volume(ext->at(0).lsn, 65536);
  const auto psd = Volume(184, vcd->at(3).size);
  const auto psd_x = Volume(ext->at(1).lsn, ext->at(1).size);
  EXPECT_EQ(LoadBigEndian16(lot.data()), 0);
  std::map<uint16_t, uint16_t> extended_of;  // plain offset to extended offset, by LID
  std::vector<uint8_t> types;
  for (size_t lid = 1; LoadBigEndian16(lot.data() + 2 * lid) != 0xFFFF; ++lid) {
    const uint16_t offset = LoadBigEndian16(lot.data() + 2 * lid);
    extended_of[offset] = LoadBigEndian16(lot_x.data() + 2 * lid);
    types.push_back(psd.at(size_t{offset} * 8));
  }
  EXPECT_EQ(types, (std::vector<uint8_t>{0x18, 0x10, 0x10, 0x10, 0x1F}));
  EXPECT_EQ(psd.size(), (size_t{extended_of.rbegin()->first} + 1) * 8);
  const std::set<uint16_t> items = {2, 100 + 1, 1000, 1001, 1002};  // track, CHAPTER, segments
  const auto target = [&](uint16_t plain) {
    return plain >= 0xFFFD ? plain : extended_of.at(plain);  // throws for no descriptor
  };
  int segment_items = 0;
  for (const auto& [plain_offset, extended_offset] : extended_of) {
    SCOPED_TRACE(plain_offset);
    const uint8_t* d = psd.data() + size_t{plain_offset} * 8;
    const uint8_t* x = psd_x.data() + size_t{extended_offset} * 8;
    if (d[0] == 0x1F) {
      EXPECT_EQ(x[0], 0x1F);
      continue;
    }
    const bool selection = d[0] == 0x18;
    EXPECT_EQ(x[0], selection ? 0x1A : 0x10);
    const size_t first_target = selection ? 6 : 4;  // after counts, base and LID
    const size_t rest = first_target + 2 * (selection ? 5 : 3);
    const size_t fixed = selection ? 20 : 14;
    EXPECT_TRUE(std::equal(d + 1, d + first_target, x + 1));
    for (size_t i = first_target; i < rest; i += 2) {
      EXPECT_EQ(LoadBigEndian16(x + i), target(LoadBigEndian16(d + i))) << i;
    }
    EXPECT_TRUE(std::equal(d + rest, d + fixed, x + rest));
    if (selection) {
      EXPECT_TRUE(items.count(LoadBigEndian16(d + 18)));
    }
    for (size_t i = 0; i < (selection ? d[2] : d[1]); ++i) {
      const uint16_t item = LoadBigEndian16(d + fixed + 2 * i);
      EXPECT_EQ(LoadBigEndian16(x + fixed + 2 * i), selection ? target(item) : item);
      if (!selection) {
        EXPECT_TRUE(items.count(item)) << item;
      }
      segment_items += !selection && item >= 1000;
    }
  }
  EXPECT_EQ(segment_items, 3);
  // PLAYLIST PC plays C (1002) then A (1000).
  const std::vector<uint8_t> pc_items = {0x03, 0xEA, 0x03, 0xE8};
  EXPECT_NE(std::search(psd_x.begin(), psd_x.end(), pc_items.begin(), pc_items.end()), psd_x.end());
}

TEST_F(InteractiveDiscTest, PlainDescriptorsNeverCrossASector) {
  test::WriteVideoStream(Out("movie.mpg"), 10);
  std::string body =
      "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" ENDOUTPUT\nMPGTRACK MOVIE 1 DIR \"movie.mpg\"\n"
      "PLAYLIST START PLAY MOVIE ENDPLAY ENDPLAYLIST\n";
  for (int i = 0; i < 60; ++i) {
    body += "SELECTION S" + std::to_string(i) + " PLAY MOVIE ITEMS";
    for (int k = 0; k <= i % 17; ++k) body += " START";
    body += " ENDITEMS ENDSELECTION\n";
  }
  ASSERT_EQ(test::BuildDisc(dir_, body).result, 0);
  const auto lot = Volume(152, 65536);
  const auto psd = Volume(184, 16 * 2048);
  for (size_t lid = 1; LoadBigEndian16(lot.data() + 2 * lid) != 0xFFFF; ++lid) {
    const uint32_t start = LoadBigEndian16(lot.data() + 2 * lid) * 8u;
    const uint8_t* d = psd.data() + start;
    ASSERT_TRUE(d[0] == 0x18 || d[0] == 0x10 || d[0] == 0x1F) << lid;
    const size_t size = d[0] == 0x18 ? 20 + 2 * d[2] : d[0] == 0x10 ? 14 + 2 * d[1] : 8;
    EXPECT_LE(start % 2048 + size, 2048u) << lid;
  }
}

// A descriptor counts its items in one byte: 255 play items or selection
// items are written, 256 are refused naming the list and its line; a
// selection needs a play item.
TEST_F(InteractiveDiscTest, ListsHoldAPlayItemAndAtMost255Items) {
  test::WriteVideoStream(Out("movie.mpg"), 10);
  const auto body = [](int play_items, int selection_items, const char* play = " PLAY MOVIE") {
    std::string text =
        "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" ENDOUTPUT\nMPGTRACK MOVIE 1 DIR "
        "\"movie.mpg\"\nPLAYLIST START PLAY";
    for (int i = 0; i < play_items; ++i) text += " MOVIE";
    text += " ENDPLAY ENDPLAYLIST\nSELECTION S" + std::string(play) + " ITEMS";
    for (int i = 0; i < selection_items; ++i) text += " START";
    return text + " ENDITEMS ENDSELECTION";
  };
  ASSERT_EQ(test::BuildDisc(dir_, body(255, 255)).result, 0);
  const RawSector psd = test::ReadImageSector(Out("data.bin"), 184);
  EXPECT_EQ(psd[24 + 1], 255);
  const uint32_t selection = (14 + 2 * 255 + 7) / 8 * 8;
  EXPECT_EQ(psd[24 + selection + 2], 255);

  const std::string prefix = Out("disc.vcd") + " Line 5:\r\n";
  for (const auto& [script, message] : std::vector<std::pair<std::string, std::string>>{
           {body(256, 1), prefix + "PLAYLIST START (line 5) has more than 255 play items."},
           {body(1, 256), "SELECTION S (line 6) has more than 255 selection items."},
           {body(1, 1, ""), "Selection S has no play item."}}) {
    const auto build = test::BuildDisc(dir_, script);
    EXPECT_EQ(build.result, 1);
    ASSERT_FALSE(build.messages.empty());
    EXPECT_TRUE(build.messages[0].ends_with(message)) << build.messages[0];
  }
}

}  // namespace
}  // namespace vcd2
