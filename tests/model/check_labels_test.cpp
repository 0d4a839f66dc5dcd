// What the label check binds; its messages are in rejected_scripts_test.cpp.
#include "model/check_labels.h"

#include <gtest/gtest.h>

#include "support/script_runner.h"

namespace vcd2 {
namespace {

using test::ParseSortCheck;
using test::Script20;
using Messages = std::vector<std::string>;

// Tracks, MAKE files, GENRTF parts and the log file bind to the first of two
// mounts with their label; the check visits every reference before it fails.
TEST(CheckLabelsTest, MountsBindAndUnknownMountLabelsAreCollected) {
  auto run = ParseSortCheck(
      Script20(R"(MOUNT INTERN SRC "/v" MOUNT INTERN SRC "/w" MPGTRACK T 1 SRC "a.mpg" )"
               R"(MPGTRACK U 2 NOPE "b.mpg" MAKE MPA 224S SRC "o.mp2" FROM WAVE ELSE "i.wav" )"
               R"(ENDMAKE GENRTF "R.RTF" FORM 1 SRC "p1" EOF LOGFILE SRC "log.txt")"));
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.messages, (Messages{"Undefined mount label NOPE.", "Undefined mount label ELSE."}));
  EXPECT_EQ(run.project->mpeg_tracks[0]->NewFullPath(), "/v/a.mpg");
  EXPECT_EQ(run.project->makes[0]->GetTarget()->NewFullPath(), "/v/o.mp2");
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

// A dropped entry is told with the entry that kept its time; a list or a
// pause that plays it is refused, as it has no number to play.
TEST(CheckLabelsTest, DroppedEntriesAreToldAndCannotBePlayed) {
  const std::string entries = "MPGTRACK A 1 \"a\"\nDEFENTRY E1 0:0:3:0 A\nDEFENTRY X 0:0:3:0 A\n";
  auto kept = ParseSortCheck(Script20(entries + "PLAYLIST START PLAY E1 ENDPLAY ENDPLAYLIST"));
  EXPECT_TRUE(kept.ok);
  EXPECT_EQ(kept.warnings,
            (Messages{"Entry X (line 4) is dropped: it falls on the time of entry E1 (line 3)."}));
  for (const std::string& use :
       {std::string("PLAYLIST START PLAY X ENDPLAY ENDPLAYLIST"),
        std::string("PLAYLIST START PLAY A ENDPLAY ENDPLAYLIST\nAUTOPAUSE X END")}) {
    auto played = ParseSortCheck(Script20(entries + use));
    EXPECT_FALSE(played.ok) << use;
    ASSERT_EQ(played.messages.size(), 1u) << use;
    EXPECT_TRUE(played.messages[0].starts_with("Entry X (referenced in line ")) << use;
    EXPECT_NE(played.messages[0].find("was dropped for entry E1"), std::string::npos) << use;
  }
}

TEST(CheckLabelsTest, PlayTargetsBindToItemsBeforeListsAndSegmentsFirst) {
  auto run = ParseSortCheck(Script20(
      R"(MPGTRACK T1 1 "t1.mpg" MPGTRACK T2 2 "t2.mpg" SEGMENT S1 1 "s1.mpg" SEGMENT T1 2 "d" )"
      R"(PLAYLIST START PLAY T1 S1 L2 ENDPLAY NEXT L2 ENDPLAYLIST )"
      R"(PLAYLIST L2 PLAY T2 ENDPLAY ENDPLAYLIST)"));
  ASSERT_TRUE(run.ok) << run.messages[0];
  const auto& items = run.project->lists[0]->play_items;
  EXPECT_EQ(items[0].kind, TargetKind::kItem);
  EXPECT_EQ(items[0].item->item_type, ItemType::kSegment);
  EXPECT_EQ(items[2].kind, TargetKind::kList);
  EXPECT_EQ(run.project->lists[0]->next.list, run.project->lists[1].get());
  EXPECT_EQ(run.project->has_psd, 1);
  EXPECT_EQ(ParseSortCheck(Script20(R"(MPGTRACK T 1 "t")")).project->has_psd, 0);
}

TEST(CheckLabelsTest, MultiDefaultWithOneItemPerEntryTakesBaseOne) {
  auto run = ParseSortCheck(Script20(
      R"(MPGTRACK T1 1 "t1.mpg" MPGTRACK T2 2 "t2.mpg" DEFENTRY E 0:0:1:0 T1 )"
      "SELECTION M1 PLAY T1 DEFAULT MULTI ITEMS A B ENDITEMS ENDSELECTION "
      "SELECTION START PLAY T2 BASE 5 ENDSELECTION PLAYLIST A ENDPLAYLIST PLAYLIST B ENDPLAYLIST"));
  EXPECT_TRUE(run.ok);
  EXPECT_EQ(run.project->lists[1]->base, 1);
}

}  // namespace
}  // namespace vcd2
