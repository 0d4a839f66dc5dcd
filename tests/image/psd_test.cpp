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
    selection.selection_items.push_back(LabelRef{});
    selection.selection_items.back().kind = kind;
    selection.selection_items.back().area = {1, 2, 3, 4};
  }
  const auto plain = BuildDescriptor(selection, PsdForm::kPlain, 40);
  const auto extended = BuildDescriptor(selection, PsdForm::kExtended, 50);
  EXPECT_EQ(plain.size(), 26u);
  EXPECT_EQ(extended.size(), 54u);
  EXPECT_EQ(DescriptorSize(selection, PsdForm::kPlain), 26u);
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
  // Offsets in 8-byte units of the descriptors the LOT at lsn lists, by LID.
  std::vector<uint16_t> Lot(uint32_t lsn) const {
    const auto lot = test::ReadVolumeFile(Out("data.bin"), lsn, 65536);
    std::vector<uint16_t> offsets;
    for (size_t lid = 1; LoadBigEndian16(lot.data() + 2 * lid) != 0xFFFF; ++lid) {
      offsets.push_back(LoadBigEndian16(lot.data() + 2 * lid));
    }
    EXPECT_EQ(LoadBigEndian16(lot.data()), 0);
    return offsets;
  }
};

// Segments of one and two units, and a CD-i file; from LID 1 through every
// descriptor: each offset lands on a descriptor, each play item names
// something on the disc, and PSD_X.VCD says what PSD.VCD says, with extended
// offsets wherever PSD.VCD has plain ones.
TEST_F(InteractiveDiscTest, SegmentsCdiFilesInfoAndBothPsdFiles) {
  test::WriteVideoStream(Out("a.mpg"), 100);
  test::WriteVideoStream(Out("b.mpg"), 300);
  test::WriteVideoStream(Out("c.mpg"), 151);
  test::WriteVideoStream(Out("movie.mpg"), 200);
  dir_.Write("app.txt", std::string(5000, 'a'));
  const auto build = test::BuildDisc(dir_, R"(
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
)");
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  test::IsoReader reader(Out("data.bin"));
  const auto cdi = reader.List("/CDI/");
  const auto segments = reader.List("/SEGMENT/");
  ASSERT_TRUE(cdi && segments && cdi->size() == 1 && segments->size() == 3);
  EXPECT_EQ(cdi->at(0).size, 5000u);
  // CD-i files come first; segments start on the next 150-sector unit.
  const uint32_t first = (cdi->at(0).lsn + 3 + 149) / 150 * 150;
  using Extent = std::tuple<std::string, uint32_t, uint32_t, uint16_t>;  // attributes last
  std::vector<Extent> extents;
  for (const auto& file : *segments)
    extents.emplace_back(file.name, file.lsn, file.size, file.attributes);
  EXPECT_EQ(extents, (std::vector<Extent>{{"ITEM0001.DAT;1", first, 150 * 2048, 0x1555},
                                          {"ITEM0002.DAT;1", first + 150, 300 * 2048, 0x1555},
                                          {"ITEM0004.DAT;1", first + 450, 300 * 2048, 0x1555}}));
  for (const uint32_t end : {first + 149, first + 449, first + 749}) {  // end of file
    EXPECT_EQ(test::ReadImageSector(Out("data.bin"), static_cast<int32_t>(end))[18] & 0x80, 0x80);
  }
  EXPECT_EQ(test::ReadImageSector(Out("data.bin"), static_cast<int32_t>(first + 100))[16], 1);
  const RawSector info = test::ReadImageSector(Out("data.bin"), 150);
  const uint8_t* data = info.data() + 24;
  EXPECT_EQ(LoadBigEndian16(data + 54), 5);
  const int content = 0x1C;  // PAL motion, no audio
  EXPECT_EQ(std::vector<int>(data + 56, data + 61),
            (std::vector<int>{content, content, content | 0x20, content, content | 0x20}));
  EXPECT_EQ(LoadBigEndian16(data + 52), 4 + 2);
  EXPECT_EQ(test::DiscAddress(data + 48), static_cast<int32_t>(first));

  const auto ext = reader.List("/EXT/");
  const auto vcd = reader.List("/VCD/");
  ASSERT_TRUE(ext && vcd && ext->size() == 2 && vcd->size() == 4);
  EXPECT_EQ(vcd->at(3).name, "PSD.VCD;1");
  EXPECT_EQ(vcd->at(3).lsn, 184u);
  const auto psd = test::ReadVolumeFile(Out("data.bin"), 184, vcd->at(3).size);
  const auto psd_x = test::ReadVolumeFile(Out("data.bin"), ext->at(1).lsn, ext->at(1).size);
  const std::vector<uint16_t> plain = Lot(152), extended = Lot(ext->at(0).lsn);
  ASSERT_EQ(plain.size(), extended.size());
  std::map<uint16_t, uint16_t> extended_of;  // plain offset to extended offset
  std::vector<uint8_t> types;
  for (size_t i = 0; i < plain.size(); ++i) {
    extended_of[plain[i]] = extended[i];
    types.push_back(psd.at(size_t{plain[i]} * 8));
  }
  EXPECT_EQ(types, (std::vector<uint8_t>{0x18, 0x10, 0x10, 0x10, 0x1F}));
  EXPECT_EQ(psd.size(), (size_t{extended_of.rbegin()->first} + 1) * 8);
  const std::set<uint16_t> items = {2, 100 + 1, 1000, 1001, 1003};  // track, CHAPTER, units
  const auto target = [&](uint16_t offset) {
    return offset >= 0xFFFD ? offset : extended_of.at(offset);  // throws for no descriptor
  };
  for (const auto& [plain_offset, extended_offset] : extended_of) {
    SCOPED_TRACE(plain_offset);
    const uint8_t* d = psd.data() + size_t{plain_offset} * 8;
    const uint8_t* x = psd_x.data() + size_t{extended_offset} * 8;
    const bool selection = d[0] == 0x18;
    EXPECT_EQ(x[0], selection ? 0x1A : d[0]);
    if (d[0] == 0x1F) continue;
    const size_t first_target = selection ? 6 : 4;  // after counts, base and LID
    const size_t rest = first_target + 2 * (selection ? 5 : 3);
    const size_t fixed = selection ? 20 : 14;
    EXPECT_TRUE(std::equal(d + 1, d + first_target, x + 1));
    for (size_t i = first_target; i < rest; i += 2) {
      EXPECT_EQ(LoadBigEndian16(x + i), target(LoadBigEndian16(d + i))) << i;
    }
    EXPECT_TRUE(std::equal(d + rest, d + fixed, x + rest));
    EXPECT_TRUE(!selection || items.count(LoadBigEndian16(d + 18)));  // its play item
    for (size_t i = 0; i < (selection ? d[2] : d[1]); ++i) {
      const uint16_t item = LoadBigEndian16(d + fixed + 2 * i);
      EXPECT_EQ(LoadBigEndian16(x + fixed + 2 * i), selection ? target(item) : item);
      EXPECT_TRUE(selection || items.count(item)) << item;
    }
  }
  // PLAYLIST PC plays C (1003, after B's two units) then A (1000).
  const std::vector<uint8_t> pc_items = {0x03, 0xEB, 0x03, 0xE8};
  EXPECT_NE(std::search(psd_x.begin(), psd_x.end(), pc_items.begin(), pc_items.end()), psd_x.end());
}

// A descriptor counts its items in one byte: lists of up to 255 items, of
// many sizes, are packed without one crossing a sector. A selection needs a
// play item.
TEST_F(InteractiveDiscTest, DescriptorsOfUpTo255ItemsNeverCrossASector) {
  test::WriteVideoStream(Out("movie.mpg"), 10);
  const std::string head =
      "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" ENDOUTPUT\nMPGTRACK MOVIE 1 DIR \"movie.mpg\"\n";
  std::string body = head + "PLAYLIST START PLAY";
  for (int i = 0; i < 255; ++i) body += " MOVIE";
  body += " ENDPLAY ENDPLAYLIST\n";
  for (int i = 0; i < 60; ++i) {
    body += "SELECTION S" + std::to_string(i) + " PLAY MOVIE ITEMS";
    for (int k = 0; k < (i == 0 ? 255 : i % 17 + 1); ++k) body += " START";
    body += " ENDITEMS ENDSELECTION\n";
  }
  ASSERT_EQ(test::BuildDisc(dir_, body).result, 0);
  const auto psd = test::ReadVolumeFile(Out("data.bin"), 184, 16 * 2048);
  std::set<int> counts;
  for (const uint16_t offset : Lot(152)) {
    const uint8_t* d = psd.data() + offset * 8u;
    ASSERT_TRUE(d[0] == 0x18 || d[0] == 0x10 || d[0] == 0x1F) << offset;
    const size_t size = d[0] == 0x18 ? 20 + 2 * d[2] : d[0] == 0x10 ? 14 + 2 * d[1] : 8;
    EXPECT_LE(offset * 8u % 2048 + size, 2048u) << offset;
    if (d[0] != 0x1F) counts.insert(d[0] == 0x18 ? 1000 + d[2] : d[1]);
  }
  EXPECT_TRUE(counts.count(255) && counts.count(1000 + 255));

  const auto refused =
      test::BuildDisc(dir_, head + "SELECTION START ITEMS START ENDITEMS ENDSELECTION");
  EXPECT_EQ(refused.result, 1);
  EXPECT_EQ(refused.messages, std::vector<std::string>{"Selection START has no play item."});
}

}  // namespace
}  // namespace vcd2
