#include "model/sort_items.h"

#include <gtest/gtest.h>

#include "support/script_runner.h"

namespace vcd2 {
namespace {

using test::Parse;
using test::Script20;

std::vector<uint32_t> Sequences(const OwnedList<MpegTrack>& tracks) {
  std::vector<uint32_t> result;
  for (const auto& track : tracks) result.push_back(track->sequence);
  return result;
}

// The refused sequence numbers are in rejected_scripts_test.cpp; 32766 is the
// highest segment number.
TEST(SortItemsTest, OrdersBySequenceAndNumbersDensely) {
  auto run =
      Parse(Script20(R"(MPGTRACK A 5 "a" MPGTRACK B 2 "b" MPGTRACK C 9 "c" SEGMENT S 32766 "s")"));
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(SortItems(*run.project));
  const auto& tracks = run.project->mpeg_tracks;
  EXPECT_EQ(Sequences(tracks), (std::vector<uint32_t>{2, 5, 9}));
  for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(tracks[i]->position, i);
}

TEST(SortItemsTest, AFailingListLeavesTheLaterListsUnsorted) {
  auto run = test::ParseSortCheck(
      Script20(R"(MPGTRACK A 3 "a" MPGTRACK B 3 "b" DATRACK D 2 WAVE "d" DATRACK E 1 WAVE "e")"));
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.project->audio_tracks[0]->label, "D");
}

TEST(SortItemsTest, PauseMarksGroupByItemAndPosition) {
  auto run =
      Parse(Script20("AUTOPAUSE A END AUTOPAUSE B BEGIN AUTOPAUSE A AT 1:00 AUTOPAUSE A BEGIN "
                     "AUTOPAUSE A AT 2:00"));
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(SortItems(*run.project));
  std::vector<std::pair<std::string, uint32_t>> order;
  for (const auto& mark : run.project->pause_marks) {
    order.emplace_back(mark->reference.name, mark->timecode == 0 ? mark->position : mark->timecode);
  }
  const std::vector<std::pair<std::string, uint32_t>> expected = {
      {"A", 94}, {"A", 0x0100}, {"A", 0x0200}, {"A", 97}, {"B", 94}};
  EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace vcd2
