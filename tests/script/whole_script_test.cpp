// Whole scripts: the bundled example, and what a host sees of a failing one.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/script_runner.h"
#include "support/temp_dir.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

TEST(WholeScriptTest, TheExampleParsesSortsAndChecks) {
  const auto run = test::ParseSortCheck(ReadFile(EXAMPLES_DIR "/example.vcd"));
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

std::vector<std::string> host_sees;

int32_t Record(int32_t percent, const char* text) {
  if (percent < 0) host_sees.push_back(text);
  return 1;
}

void Show(const char* text) {
  host_sees.push_back(std::string("! ") + text);
}

TEST(WholeScriptTest, AHostSeesTheStatusTextsAndMessagesInOrder) {
  test::TempDir dir;
  BuilderCallbacks callbacks{};
  callbacks.show_message = Show;
  VCD2SetCallbacks(&callbacks);
  const std::string path =
      dir.Write("bad.vcd", "VERSION 2.0\r\nMPGTRACK A 1\r\n\"a.mpg\"\r\nBOGUS\r\n");
  host_sees.clear();
  EXPECT_EQ(VCD2DiscBuilder(nullptr, path.c_str(), Record), 1);
  const std::vector<std::string> expected = {
      "Parsing script...", "! " + path + " Line 5:\r\nUnknown Keyword \"BOGUS\" found.",
      "! " + path + " Line 5:\r\nParser reported an error."};
  EXPECT_EQ(host_sees, expected);

  const std::string unbound = dir.Write("unbound.vcd",
                                        "VERSION 2.0 PLAYLIST START PLAY NOWHERE ENDPLAY\n"
                                        "ENDPLAYLIST ENDFILE");
  host_sees.clear();
  EXPECT_EQ(VCD2DiscBuilder(nullptr, unbound.c_str(), Record), 1);
  const std::vector<std::string> checked = {"Parsing script...", "Sorting items...",
                                            "Checking labels...",
                                            "! Label NOWHERE (referenced in line 1) undefined."};
  EXPECT_EQ(host_sees, checked);
  VCD2SetCallbacks(nullptr);
}

}  // namespace
}  // namespace vcd2
