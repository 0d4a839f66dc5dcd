// PLAYLIST and SELECTION.
#include <gtest/gtest.h>

#include "support/script_runner.h"

namespace vcd2 {
namespace {

using test::AtLine;
using test::Parse;
using test::Script20;
using Messages = std::vector<std::string>;

const PsdList& OnlyList(const test::ScriptRun& run) {
  EXPECT_EQ(run.project->lists.size(), 1u);
  return *run.project->lists.at(0);
}

TEST(PlayListTest, ClausesAndTheirValues) {
  const auto run = Parse(
      Script20("PLAYLIST L PLAY A B\nC ENDPLAY PLAY D ENDPLAY PREVIOUS START NEXT N RETURN STOP "
               "PLAYTIME 600 WAIT 975 AUTOWAIT INF ENDPLAYLIST"));
  ASSERT_TRUE(run.ok);
  const PsdList& list = OnlyList(run);
  EXPECT_EQ(list.kind, ListKind::kPlayList);
  EXPECT_EQ(list.label_kind, ListLabelKind::kNamed);
  std::vector<std::pair<std::string, uint32_t>> items;
  for (const auto& item : list.play_items) items.emplace_back(item.name, item.line);
  EXPECT_EQ(items, (std::vector<std::pair<std::string, uint32_t>>{
                       {"A", 2}, {"B", 3}, {"C", 3}, {"D", 3}}));
  EXPECT_EQ(list.previous.kind, TargetKind::kStart);
  EXPECT_EQ(list.next.kind, TargetKind::kName);
  EXPECT_EQ(list.next.name, "N");
  EXPECT_EQ(list.return_target.kind, TargetKind::kStop);
  EXPECT_EQ(list.playing_time, 600);
  EXPECT_EQ(list.wait, 61);
  EXPECT_EQ(list.auto_wait, 255);
}

TEST(PlayListTest, WaitTimeCodes) {
  const std::pair<const char*, int> cases[] = {
      {"0", 0}, {"900", 60}, {"975", 61}, {"30000", 254}, {"-21", 0}, {"30007", 254}, {"INF", 255}};
  for (const auto& [word, code] : cases) {
    const auto run = Parse(Script20(std::string("PLAYLIST L WAIT ") + word + " ENDPLAYLIST"));
    ASSERT_TRUE(run.ok) << word;
    EXPECT_EQ(OnlyList(run).wait, code) << word;
  }
}

TEST(PlayListTest, StartLabelsAndRefusedWords) {
  auto run = Parse(Script20("PLAYLIST START ENDPLAYLIST"));
  EXPECT_EQ(OnlyList(run).label_kind, ListLabelKind::kStart);
  EXPECT_EQ(OnlyList(run).label, "");
  run = Parse("VERSION 2.0 PLAYLIST L PREVIOUS MULTI ENDPLAYLIST ENDFILE");
  EXPECT_TRUE(run.ok);  // a warning: parsing goes on
  EXPECT_EQ(run.messages, Messages{AtLine(1, "Invalid labelname L.")});
  EXPECT_EQ(OnlyList(run).previous.kind, TargetKind::kNone);
  run = Parse("VERSION 2.0 SELECTION NONE ENDSELECTION ENDFILE");
  EXPECT_EQ(run.messages, Messages{AtLine(1, "Invalid labelname NONE.")});
  EXPECT_EQ(OnlyList(run).label_kind, ListLabelKind::kRefused);
}

TEST(SelectionTest, ClausesAreasAndItems) {
  const auto run =
      Parse(Script20("SELECTION S PLAY P NEXT X 10 20 30 300 PREVIOUS Y WAIT 15 RETURN R 1 2A B 7\n"
                     "DEFAULT MULTINUM TIMEOUT T BASE 5 LOOP INF JUMP COMPLETE "
                     "ITEMS ENDITEMS 1 2 3 4 B ENDITEMS ENDSELECTION"));
  ASSERT_TRUE(run.ok) << run.messages[0];
  const PsdList& list = OnlyList(run);
  EXPECT_EQ(list.play_items.size(), 1u);
  EXPECT_EQ(list.next.area, (HotSpotArea{10, 20, 30, 44}));
  EXPECT_EQ(list.previous.area, kDefaultArea);
  EXPECT_EQ(list.wait, 1);
  EXPECT_EQ(list.return_target.area, (HotSpotArea{1, 2, 0, 7}));  // "2A" reads as 2, "B" as 0
  EXPECT_EQ(list.default_target.kind, TargetKind::kMultiNum);
  EXPECT_EQ(list.timeout.name, "T");
  EXPECT_EQ(list.base, 5);
  EXPECT_EQ(list.loop, 0);
  EXPECT_EQ(list.jump, 0x80);
  ASSERT_EQ(list.selection_items.size(), 2u);
  EXPECT_EQ(list.selection_items[0].name, "ENDITEMS");  // the first word is always an item
  EXPECT_EQ(list.selection_items[0].area, (HotSpotArea{1, 2, 3, 4}));
  EXPECT_EQ(list.selection_items[1].name, "B");
}

TEST(SelectionTest, APlayClauseTakesOneItem) {
  const auto run = Parse("VERSION 2.0 SELECTION S PLAY A B ENDSELECTION ENDFILE");
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.messages,
            Messages{AtLine(
                1, "The word B was a complete surprise to me at this place of your script.")});
}

TEST(ListTest, RejectedClauses) {
  const std::vector<std::pair<std::string, Messages>> cases = {
      {"PLAYLIST", {"EOF encountered expecting playlist label."}},
      {"SELECTION", {"EOF encountered expecting selection label."}},
      {"PLAYLIST L PLAY A NEXT ENDPLAY", {"Expected play item."}},
      {"SELECTION S PLAY ENDITEMS", {"Expected play item."}},
      {"PLAYLIST L PLAY A", {"EOF encountered while expecting INTERN or EXTERN"}},
      {"PLAYLIST L PLAYTIME", {"EOF encountered expecting play time."}},
      {"PLAYLIST L PLAYTIME 0", {"Playtime value must be INF or between 1 and 65535."}},
      {"PLAYLIST L PLAYTIME 65536", {"Playtime value must be INF or between 1 and 65535."}},
      {"PLAYLIST L PLAYTIME ENDFILE", {"Playtime value must be INF or between 1 and 65535."}},
      {"PLAYLIST L PLAYTIME X",
       {"The word X was a complete surprise to me at this place of your script.",
        "Playtime value must be INF or between 1 and 65535."}},
      {"PLAYLIST L WAIT", {"EOF encountered expecting wait time declarator."}},
      {"PLAYLIST L WAIT 30008", {"Waittime value must be INF or between 0 and 30000."}},
      {"PLAYLIST L WAIT -22", {"Waittime value must be INF or between 0 and 30000."}},
      {"PLAYLIST L AUTOWAIT SOON", {"Waittime value must be INF or between 0 and 30000."}},
      {"SELECTION S LOOP", {"Encountered EOF expecting loop parameter."}},
      {"SELECTION S LOOP 256", {"Loop value must be INF or between 1 and 255."}},
      {"SELECTION S LOOP 0", {"Loop value must be INF or between 1 and 255."}},
      {"SELECTION S LOOP FOREVER", {"Loop value must be INF or between 1 and 255."}},
      {"SELECTION S BASE", {"EOF encountered."}},
      {"SELECTION S BASE X", {"Expected numerical value, found X."}},
      {"SELECTION S ITEMS", {"Unexpected EOF."}},
      {"SELECTION S ITEMS A", {"Unexpected EOF."}},
      {"SELECTION S JUMP LATER",
       {"The word LATER was a complete surprise to me at this place of your script."}},
      // Clauses of the other statement fail without a message of their own.
      {"PLAYLIST L BASE 1 ENDPLAYLIST", {}},
      {"PLAYLIST L ENDSELECTION", {}},
      {"SELECTION S PLAYTIME 5 ENDSELECTION", {}},
      {"SELECTION S ENDITEMS", {}},
      {"SELECTION S JUMP ENDFILE", {}},
  };
  for (const auto& [body, texts] : cases) {
    const auto run = Parse("VERSION 2.0 " + body);
    EXPECT_FALSE(run.ok) << body;
    Messages expected;
    for (const auto& text : texts) expected.push_back(AtLine(1, text));
    EXPECT_EQ(run.messages, expected) << body;
    EXPECT_TRUE(run.project->lists.empty()) << body;
  }
}

}  // namespace
}  // namespace vcd2
