// Playback control, segment play items and CD-i files on a whole disc, read
// back by a small walker of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
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

TEST(PsdDescriptorTest, SizesOffsetsAndItemNumbers) {
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
  EXPECT_EQ(LoadBigEndian16(plain.data() + 4), 3);
  EXPECT_EQ(LoadBigEndian16(plain.data() + 6), 40);  // STOP: the end list
  EXPECT_EQ(LoadBigEndian16(extended.data() + 6), 50);
  EXPECT_EQ(LoadBigEndian16(plain.data() + 8), 7);  // a list
  EXPECT_EQ(LoadBigEndian16(extended.data() + 8), 9);
  EXPECT_EQ(LoadBigEndian16(plain.data() + 10), 0xFFFF);  // RETURN: NONE
  EXPECT_EQ(LoadBigEndian16(plain.data() + 12), 0xFFFD);  // MULTINUM
  EXPECT_EQ(LoadBigEndian16(plain.data() + 14), 0);       // START
  EXPECT_EQ(LoadBigEndian16(plain.data() + 20), 0xFFFF);
  EXPECT_EQ(LoadBigEndian16(plain.data() + 22), 0xFFFE);
  EXPECT_EQ(extended[20 + 6 + 16], 1);  // the first item's area
  EXPECT_EQ(extended[53], 4);

  SegmentItem segment(FileRef("s"), "S", 1);
  segment.position = 3;
  MpegTrack track(FileRef("t"), "T", 1);
  track.position = 1;
  EntryPoint entry("E", "T", 1, 0);
  entry.position = 4;
  PsdList play(ListKind::kPlayList, "P");
  for (ScriptItem* item : std::initializer_list<ScriptItem*>{&segment, &track, &entry}) {
    LabelRef ref;
    ref.kind = TargetKind::kItem;
    ref.item = item;
    play.play_items.push_back(ref);
  }
  const auto list = BuildDescriptor(play, PsdForm::kPlain, 0);
  ASSERT_EQ(list.size(), 20u);
  EXPECT_EQ(LoadBigEndian16(list.data() + 14), 1003);
  EXPECT_EQ(LoadBigEndian16(list.data() + 16), 3);
  EXPECT_EQ(LoadBigEndian16(list.data() + 18), 103);
}

class InteractiveDiscTest : public ::testing::Test {
 protected:
  std::string Out(const char* name) const { return (dir_.Path() / name).string(); }

  // Bytes of a file of the volume, read from its extent.
  std::vector<uint8_t> ReadVolumeFile(uint32_t lsn, uint32_t size) const {
    std::vector<uint8_t> bytes;
    for (uint32_t i = 0; i * 2048 < size; ++i) {
      const RawSector sector =
          test::ReadImageSector(Out("data.bin"), static_cast<int32_t>(lsn + i));
      bytes.insert(bytes.end(), sector.begin() + 24, sector.begin() + 24 + 2048);
    }
    bytes.resize(size);
    return bytes;
  }

  test::TempDir dir_;
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
  std::vector<std::string> psd_steps;
  for (const auto& status : build.statuses) {
    if (status.find("PSD") != std::string::npos || status.find("LOT") != std::string::npos) {
      psd_steps.push_back(status);
    }
  }
  EXPECT_EQ(psd_steps, (std::vector<std::string>{"Building PSD...", "Building LOT...",
                                                 "Inserting PSD...", "Inserting LOT..."}));
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
  RawSector time{};
  StoreDiscTime(time.data(), static_cast<int32_t>(first));
  EXPECT_TRUE(std::equal(time.begin(), time.begin() + 3, data + 48));
}

// From LID 1 through every descriptor: each offset lands on a descriptor,
// each play item names something on the disc, and PSD_X.VCD agrees.
TEST_F(InteractiveDiscTest, TheWalkerFollowsEveryList) {
  for (const char* name : {"a.mpg", "b.mpg", "c.mpg", "movie.mpg"})
    test::WriteVideoStream(Out(name), 40);
  dir_.Write("app.txt", "x");
  ASSERT_EQ(test::BuildDisc(dir_, kInteractive).result, 0);
  test::IsoReader reader(Out("data.bin"));
  const auto vcd = reader.List("/VCD/");
  ASSERT_TRUE(vcd);
  const auto find = [](const std::vector<test::IsoReader::Entry>& entries,
                       const std::string& name) {
    for (const auto& entry : entries) {
      if (entry.name == name) return entry;
    }
    return test::IsoReader::Entry{};
  };
  const auto psd_entry = find(*vcd, "PSD.VCD;1");
  const auto lot = ReadVolumeFile(152, 65536);
  const auto psd = ReadVolumeFile(psd_entry.lsn, psd_entry.size);
  const auto ext = reader.List("/EXT/");
  const auto psd_x_entry = find(*ext, "PSD_X.VCD;1");
  const auto lot_x = ReadVolumeFile(find(*ext, "LOT_X.VCD;1").lsn, 65536);
  const auto psd_x = ReadVolumeFile(psd_x_entry.lsn, psd_x_entry.size);
  EXPECT_EQ(psd_entry.lsn, 184u);
  EXPECT_EQ(LoadBigEndian16(lot.data()), 0);
  std::set<uint16_t> offsets;
  std::vector<uint8_t> types;
  for (size_t lid = 1; LoadBigEndian16(lot.data() + 2 * lid) != 0xFFFF; ++lid) {
    const uint16_t offset = LoadBigEndian16(lot.data() + 2 * lid);
    offsets.insert(offset);
    ASSERT_LT(size_t{offset} * 8, psd.size());
    types.push_back(psd[size_t{offset} * 8]);
    const uint16_t extended = LoadBigEndian16(lot_x.data() + 2 * lid);
    const uint8_t extended_type = psd_x.at(size_t{extended} * 8);
    EXPECT_EQ(extended_type, types.back() == 0x18 ? 0x1A : types.back()) << lid;
  }
  EXPECT_EQ(types, (std::vector<uint8_t>{0x18, 0x10, 0x10, 0x10, 0x1F}));
  EXPECT_EQ(psd.size(), (size_t{*offsets.rbegin()} + 1) * 8);
  std::set<uint16_t> valid_items = {2, 100 + 1, 1000, 1001, 1002};  // track, CHAPTER, segments
  for (uint16_t offset : offsets) {
    const uint8_t* d = psd.data() + size_t{offset} * 8;
    if (d[0] == 0x10) {
      for (int i = 0; i < d[1]; ++i)
        EXPECT_TRUE(valid_items.count(LoadBigEndian16(d + 14 + 2 * i)));
      for (int field = 4; field <= 8; field += 2) {
        const uint16_t target = LoadBigEndian16(d + field);
        EXPECT_TRUE(target == 0xFFFF || offsets.count(target)) << target;
      }
    } else if (d[0] == 0x18) {
      EXPECT_TRUE(valid_items.count(LoadBigEndian16(d + 18)));
      for (int i = 0; i < d[2]; ++i) EXPECT_TRUE(offsets.count(LoadBigEndian16(d + 20 + 2 * i)));
    }
  }
}

// A two-unit segment before two one-unit ones: each keeps its own record,
// in order. PSD_X.VCD, walked by its own offsets, says what PSD.VCD says,
// with extended offsets wherever PSD.VCD has plain ones.
TEST_F(InteractiveDiscTest, SegmentRecordsAndBothPsdFilesAgree) {
  test::WriteVideoStream(Out("a.mpg"), 200);
  for (const char* name : {"b.mpg", "c.mpg", "movie.mpg"}) test::WriteVideoStream(Out(name), 40);
  dir_.Write("app.txt", "x");
  ASSERT_EQ(test::BuildDisc(dir_, kInteractive).result, 0);
  test::IsoReader reader(Out("data.bin"));
  const auto segments = reader.List("/SEGMENT/");
  ASSERT_TRUE(segments);
  ASSERT_EQ(segments->size(), 3u);
  const uint32_t first = segments->at(0).lsn;
  const std::vector<std::tuple<std::string, uint32_t, uint32_t>> expected = {
      {"ITEM0001.DAT;1", first, 300 * 2048},
      {"ITEM0003.DAT;1", first + 300, 150 * 2048},
      {"ITEM0004.DAT;1", first + 450, 150 * 2048}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::make_tuple(segments->at(i).name, segments->at(i).lsn, segments->at(i).size),
              expected[i]);
  }

  const auto ext = reader.List("/EXT/");
  const auto vcd = reader.List("/VCD/");
  ASSERT_TRUE(ext && vcd && ext->size() == 2 && vcd->size() == 4);
  const auto lot = ReadVolumeFile(152, 65536);
  const auto lot_x = ReadVolumeFile(ext->at(0).lsn, 65536);
  const auto psd = ReadVolumeFile(184, vcd->at(3).size);
  const auto psd_x = ReadVolumeFile(ext->at(1).lsn, ext->at(1).size);
  std::map<uint16_t, uint16_t> extended_of;  // plain offset to extended offset, by LID
  for (size_t lid = 1; LoadBigEndian16(lot.data() + 2 * lid) != 0xFFFF; ++lid) {
    extended_of[LoadBigEndian16(lot.data() + 2 * lid)] = LoadBigEndian16(lot_x.data() + 2 * lid);
  }
  const auto target = [&](uint16_t plain) {
    return plain >= 0xFFFD ? plain : extended_of.at(plain);
  };
  int play_items = 0;
  for (const auto& [plain_offset, extended_offset] : extended_of) {
    const uint8_t* d = psd.data() + size_t{plain_offset} * 8;
    const uint8_t* x = psd_x.data() + size_t{extended_offset} * 8;
    if (d[0] == 0x1F) {
      EXPECT_EQ(x[0], 0x1F);
      continue;
    }
    const bool selection = d[0] == 0x18;
    EXPECT_EQ(x[0], selection ? 0x1A : 0x10);
    const size_t first_target = selection ? 6 : 4;  // after counts, base and LID
    const size_t targets = selection ? 5 : 3;
    const size_t rest = first_target + 2 * targets;
    const size_t fixed = selection ? 20 : 14;
    const size_t count = selection ? d[2] : d[1];
    EXPECT_TRUE(std::equal(d + 1, d + first_target, x + 1)) << plain_offset;
    for (size_t i = first_target; i < rest; i += 2) {
      EXPECT_EQ(LoadBigEndian16(x + i), target(LoadBigEndian16(d + i))) << plain_offset << " " << i;
    }
    EXPECT_TRUE(std::equal(d + rest, d + fixed, x + rest)) << plain_offset;
    for (size_t i = 0; i < count; ++i) {
      const uint16_t item = LoadBigEndian16(d + fixed + 2 * i);
      if (selection) {
        EXPECT_EQ(LoadBigEndian16(x + fixed + 2 * i), target(item));
      } else {
        EXPECT_EQ(LoadBigEndian16(x + fixed + 2 * i), item);
        play_items += item >= 1000;
      }
    }
  }
  EXPECT_EQ(play_items, 3);  // B and C behind the two units of A: 1002 and 1003
  // PLAYLIST PC plays C (1003) then A (1000).
  const std::vector<uint8_t> pc_items = {0x03, 0xEB, 0x03, 0xE8};
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
  const auto lot = ReadVolumeFile(152, 65536);
  int crossing = 0;
  for (size_t lid = 1; LoadBigEndian16(lot.data() + 2 * lid) != 0xFFFF; ++lid) {
    const uint32_t start = LoadBigEndian16(lot.data() + 2 * lid) * 8u;
    const RawSector sector =
        test::ReadImageSector(Out("data.bin"), static_cast<int32_t>(184 + start / 2048));
    const uint8_t* d = sector.data() + 24 + start % 2048;
    const size_t size = d[0] == 0x18 ? 20 + 2 * d[2] : d[0] == 0x10 ? 14 + 2 * d[1] : 8;
    crossing += start % 2048 + size > 2048;
    EXPECT_TRUE(d[0] == 0x18 || d[0] == 0x10 || d[0] == 0x1F) << lid;
  }
  EXPECT_EQ(crossing, 0);
}

TEST_F(InteractiveDiscTest, ASelectionWithoutPlayItemIsRefused) {
  test::WriteVideoStream(Out("movie.mpg"), 10);
  const auto build = test::BuildDisc(dir_,
                                     "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" ENDOUTPUT\n"
                                     "MPGTRACK MOVIE 1 DIR \"movie.mpg\"\n"
                                     "SELECTION START ITEMS START ENDITEMS ENDSELECTION");
  EXPECT_EQ(build.result, 1);
  EXPECT_EQ(build.messages, std::vector<std::string>{"Selection START has no play item."});
}

// A descriptor counts its items in one byte: 255 play items or selection
// items are written, 256 are refused naming the list and its line.
TEST_F(InteractiveDiscTest, ListsHoldAtMost255Items) {
  test::WriteVideoStream(Out("movie.mpg"), 10);
  const auto body = [](int play_items, int selection_items) {
    std::string text =
        "OUTPUT 1 DIR \"data.bin\" 2 DIR \"t1.bin\" ENDOUTPUT\nMPGTRACK MOVIE 1 DIR "
        "\"movie.mpg\"\nPLAYLIST START PLAY";
    for (int i = 0; i < play_items; ++i) text += " MOVIE";
    text += " ENDPLAY ENDPLAYLIST\nSELECTION S PLAY MOVIE ITEMS";
    for (int i = 0; i < selection_items; ++i) text += " START";
    return text + " ENDITEMS ENDSELECTION";
  };
  ASSERT_EQ(test::BuildDisc(dir_, body(255, 255)).result, 0);
  const RawSector psd = test::ReadImageSector(Out("data.bin"), 184);
  EXPECT_EQ(psd[24 + 1], 255);
  const uint32_t selection = (14 + 2 * 255 + 7) / 8 * 8;
  EXPECT_EQ(psd[24 + selection + 2], 255);

  const std::string prefix = (dir_.Path() / "disc.vcd").string() + " Line 5:\r\n";
  auto build = test::BuildDisc(dir_, body(256, 1));
  EXPECT_EQ(build.result, 1);
  ASSERT_FALSE(build.messages.empty());
  EXPECT_EQ(build.messages[0], prefix + "PLAYLIST START (line 5) has more than 255 play items.");
  build = test::BuildDisc(dir_, body(1, 256));
  EXPECT_EQ(build.result, 1);
  ASSERT_FALSE(build.messages.empty());
  EXPECT_EQ(build.messages[0].substr(build.messages[0].find('\n') + 1),
            "SELECTION S (line 6) has more than 255 selection items.");
}

}  // namespace
}  // namespace vcd2
