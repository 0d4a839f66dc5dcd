#include "model/sort_items.h"

#include <gtest/gtest.h>

#include "support/script_runner.h"

namespace vcd2 {
namespace {

using test::Parse;
using test::Script20;

// The refused sequence numbers are in rejected_scripts_test.cpp; 32766 is the
// highest segment number.
TEST(SortItemsTest, OrdersBySequenceAndNumbersDensely) {
  auto run =
      Parse(Script20(R"(MPGTRACK A 5 "a" MPGTRACK B 2 "b" MPGTRACK C 9 "c" SEGMENT S 32766 "s")"));
  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(SortItems(*run.project));
  std::vector<std::pair<uint32_t, uint32_t>> order;  // sequence and position
  for (const auto& track : run.project->mpeg_tracks) {
    order.emplace_back(track->sequence, track->position);
  }
  EXPECT_EQ(order, (std::vector<std::pair<uint32_t, uint32_t>>{{2, 0}, {5, 1}, {9, 2}}));
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
