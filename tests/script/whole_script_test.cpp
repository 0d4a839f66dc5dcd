// Whole scripts: the bundled example, and what a host sees of a failing one.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/disc_build.h"
#include "support/script_runner.h"
#include "support/temp_dir.h"

namespace vcd2 {
namespace {

TEST(WholeScriptTest, TheExampleParsesSortsAndChecks) {
  std::stringstream script;
  script << std::ifstream(EXAMPLES_DIR "/example.vcd", std::ios::binary).rdbuf();
  const auto run = test::ParseSortCheck(script.str());
  ASSERT_TRUE(run.ok) << (run.messages.empty() ? "" : run.messages[0]);
  const VcdProject& project = *run.project;
  EXPECT_EQ(project.mpeg_tracks.size(), 2u);
  EXPECT_EQ(project.output_names.size(), 3u);
  EXPECT_EQ(project.has_psd, 1);
  EXPECT_EQ(project.entries[0]->position, 3u);  // track 2 starts as entry 2
  EXPECT_EQ(project.mpeg_tracks[1]->entries.size(), 2u);
  EXPECT_EQ(project.mpeg_tracks[0]->NewFullPath(), "media/intro.mpg");
  EXPECT_EQ(project.lists[0]->selection_items[1].list, project.lists[2].get());
  EXPECT_EQ(project.lists[0]->play_items[0].item, project.segments[0].get());
  EXPECT_EQ(project.lists[3]->return_target.kind, TargetKind::kStart);
}

TEST(WholeScriptTest, AHostSeesTheParseMessagesAtTheFailingLine) {
  test::TempDir dir;
  const std::string path =
      dir.Write("bad.vcd", "VERSION 2.0\r\nMPGTRACK A 1\r\n\"a.mpg\"\r\nBOGUS\r\n");
  const auto build = test::RunScript(path);
  EXPECT_EQ(build.result, 1);
  const std::vector<std::string> expected = {
      "Parsing script...", "! " + path + " Line 5:\r\nUnknown Keyword \"BOGUS\" found.",
      "! " + path + " Line 5:\r\nParser reported an error."};
  EXPECT_EQ(build.events, expected);
}

}  // namespace
}  // namespace vcd2
