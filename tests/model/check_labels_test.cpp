#include "model/check_labels.h"

#include <gtest/gtest.h>

#include "support/message_capture.h"
#include "support/script_runner.h"

namespace vcd2 {
namespace {

using test::ParseSortCheck;
using test::Script20;
using Messages = std::vector<std::string>;

// Two tracks and a segment for the list cases below.
const std::string kMaterial =
    R"(MPGTRACK T1 1 "t1.mpg" MPGTRACK T2 2 "t2.mpg" SEGMENT S1 1 "s1.mpg" )";

TEST(CheckLabelsTest, MountsBindAndUnknownMountLabelsAreCollected) {
  auto run = ParseSortCheck(
      Script20(R"(MOUNT INTERN SRC "/v" MPGTRACK T 1 SRC "a.mpg" MPGTRACK U 2 NOPE "b.mpg" )"
               R"(MAKE MPA 224S SRC "o.mp2" FROM WAVE ELSE "i.wav" ENDMAKE)"));
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.messages, (Messages{"Undefined mount label NOPE.", "Undefined mount label ELSE."}));
  EXPECT_EQ(run.project->mpeg_tracks[0]->NewFullPath(), "/v/a.mpg");
  EXPECT_EQ(run.project->makes[0]->GetTarget()->NewFullPath(), "/v/o.mp2");
}

TEST(CheckLabelsTest, GenRtfPartsAndTheLogFileBindToo) {
  auto run = ParseSortCheck(Script20(
      R"(MOUNT INTERN SRC "/v" GENRTF "R.RTF" FORM 1 SRC "p1" EOF LOGFILE SRC "log.txt")"));
  ASSERT_TRUE(run.ok) << run.messages[0];
  const auto& rtf = static_cast<const RtfFile&>(*run.project->cdi_files[0]);
  EXPECT_EQ(rtf.parts[0]->NewFullPath(), "/v/p1");
  EXPECT_EQ(run.project->log_file->NewFullPath(), "/v/log.txt");
}

TEST(CheckLabelsTest, EntriesAreNumberedAcrossTracks) {
  auto run = ParseSortCheck(
      Script20(R"(MPGTRACK B 2 "b" MPGTRACK A 1 "a" DEFENTRY E3 0:0:5:0 B DEFENTRY E2 0:0:9:0 A )"
               R"(DEFENTRY E1 0:0:3:0 A DEFENTRY X 0:0:3:0 A)"));
  ASSERT_TRUE(run.ok);
  const auto& entries = run.project->entries;
  EXPECT_EQ(entries[0]->position, 5u);  // E3: track 2 starts at 4
  EXPECT_EQ(entries[1]->position, 3u);  // E2
  EXPECT_EQ(entries[2]->position, 2u);  // E1
  EXPECT_EQ(entries[3]->position, 0u);  // X repeats E1's time: dropped
  const auto& first = run.project->mpeg_tracks[0]->entries;
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0]->label, "E1");
  EXPECT_EQ(first[1]->label, "E2");
  EXPECT_EQ(entries[0]->track, run.project->mpeg_tracks[1].get());
}

TEST(CheckLabelsTest, AnEntryOfAnUnknownTrackFailsAfterAllAreVisited) {
  auto run = ParseSortCheck(Script20(R"(DEFENTRY E 1:0 NOTRACK DEFENTRY F 2:0 NEITHER)"));
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.messages, (Messages{"Could not find MPEG Track NOTRACK for entry E",
                                    "Could not find MPEG Track NEITHER for entry F"}));
}

TEST(CheckLabelsTest, PlayTargetsBindToItemsBeforeListsAndSegmentsFirst) {
  auto run = ParseSortCheck(Script20(kMaterial +
                                     R"(SEGMENT T1 2 "dup.mpg" )"
                                     R"(PLAYLIST START PLAY T1 S1 L2 ENDPLAY NEXT L2 ENDPLAYLIST )"
                                     R"(PLAYLIST L2 PLAY T2 ENDPLAY ENDPLAYLIST)"));
  ASSERT_TRUE(run.ok) << run.messages[0];
  const auto& items = run.project->lists[0]->play_items;
  EXPECT_EQ(items[0].kind, TargetKind::kItem);
  EXPECT_EQ(items[0].item->item_type, ItemType::kSegment);
  EXPECT_EQ(items[2].kind, TargetKind::kList);
  EXPECT_EQ(run.project->lists[0]->next.list, run.project->lists[1].get());
  EXPECT_EQ(run.project->has_psd, 1);
}

TEST(CheckLabelsTest, NavigationTargetsNameOnlyLists) {
  auto run = ParseSortCheck(Script20(kMaterial +
                                     "PLAYLIST START PLAY T1 ENDPLAY\nNEXT T2\n"
                                     "ENDPLAYLIST\nPLAYLIST L PLAY NOWHERE ENDPLAY ENDPLAYLIST"));
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.messages, (Messages{"Label T2 (referenced in line 0) undefined.",
                                    "Label NOWHERE (referenced in line 5) undefined."}));
}

TEST(CheckLabelsTest, StartCountsAndPsdPresence) {
  struct Case {
    std::string body;
    Messages messages;
    int has_psd;
  };
  const Case cases[] = {
      {R"(MPGTRACK T 1 "t")", {}, 0},
      {R"(SEGMENT S 1 "s")", {"Cannot have segment play items without playlist."}, -1},
      {kMaterial + "PLAYLIST A PLAY T1 ENDPLAY ENDPLAYLIST",
       {"There is no START label defined."},
       -1},
      {kMaterial +
           "PLAYLIST START PLAY T1 ENDPLAY ENDPLAYLIST SELECTION START PLAY T2 ENDSELECTION",
       {"There is more than one START label defined."},
       -1},
      {kMaterial + "PLAYLIST STOP ENDPLAYLIST",
       {"Invalid labelname STOP.", "Unexpected label type."},
       -1},
  };
  for (const Case& c : cases) {
    auto run = ParseSortCheck(Script20(c.body));
    EXPECT_EQ(run.ok, c.has_psd >= 0) << c.body;
    // The parse's own warning carries a prefix.
    Messages messages = run.messages;
    if (!messages.empty() && messages[0].find("Line") != std::string::npos) {
      messages[0] = messages[0].substr(messages[0].find('\n') + 1);
    }
    EXPECT_EQ(messages, c.messages) << c.body;
    if (c.has_psd >= 0) {
      EXPECT_EQ(run.project->has_psd, c.has_psd);
    }
  }
}

TEST(CheckLabelsTest, MultiDefaultNeedsAnMpegTrackWithOneItemPerEntry) {
  const std::string lists =
      "SELECTION M1 PLAY T1 DEFAULT MULTI ITEMS A B ENDITEMS ENDSELECTION "
      "SELECTION START PLAY T2 BASE 5 ENDSELECTION "
      "PLAYLIST A ENDPLAYLIST PLAYLIST B ENDPLAYLIST";
  auto run = ParseSortCheck(Script20(kMaterial + "DEFENTRY E 0:0:1:0 T1 " + lists));
  EXPECT_TRUE(run.ok);
  EXPECT_EQ(run.project->lists[1]->base, 1);
  run = ParseSortCheck(Script20(kMaterial + lists));
  EXPECT_EQ(run.messages, Messages{"Number of entries differs from number of items."});
  run = ParseSortCheck(Script20(
      kMaterial + "SELECTION START PLAY S1 DEFAULT MULTINUM ITEMS START ENDITEMS ENDSELECTION"));
  EXPECT_EQ(run.messages, Messages{"Play item multi default sequence must be MPEG track."});
}

TEST(CheckLabelsTest, OutputNamesCountTheDataTrackAndEachMpegTrack) {
  auto run = ParseSortCheck(Script20(kMaterial + R"(OUTPUT 1 "data.bin" 2 "t1.bin" ENDOUTPUT )"
                                                 R"(PLAYLIST START PLAY S1 ENDPLAY ENDPLAYLIST)"));
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.messages, Messages{"Output: 2 filenames for 3 files defined."});
  run = ParseSortCheck(Script20(R"(MPGTRACK T 1 "t" MPGTRACK U 2 "u")"));
  EXPECT_TRUE(run.ok);
}

// Scripts always give a location; a reference built without one is refused.
TEST(CheckLabelsTest, AReferenceWithoutLocationEndsThePhase) {
  VcdProject project;
  project.mpeg_tracks.push_back(std::make_unique<MpegTrack>(FileRef(), "T", 1));
  project.mpeg_tracks.push_back(std::make_unique<MpegTrack>(FileRef("NOPE", "x"), "U", 2));
  test::MessageCapture capture;
  EXPECT_FALSE(CheckLabels(project));
  EXPECT_EQ(capture.Messages(), Messages{"Cannot determine type of label."});
}

}  // namespace
}  // namespace vcd2
