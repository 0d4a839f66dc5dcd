#include "image/psd_graph.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "support/message_capture.h"
#include "support/script_runner.h"

namespace vcd2 {
namespace {

// A graph read back: by node id, each node's label as written and what
// follows it; each edge as (source id, edge label, target id).
struct Graph {
  std::map<std::string, std::string> labels;
  std::map<std::string, std::string> attributes;
  std::set<std::tuple<std::string, std::string, std::string>> edges;
};

Graph GraphOf(const VcdProject& project) {
  static const std::regex kNode(R"re(^  (\w+) \[label="((?:[^"\\]|\\.)*)"(.*)\];$)re");
  static const std::regex kEdge(R"re(^  (\w+) -> (\w+) \[label="([^"]*)".*$)re");
  Graph graph;
  std::istringstream lines(PsdGraph(project));
  std::smatch match;
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_match(line, match, kNode)) {
      graph.labels[match[1]] = match[2];
      graph.attributes[match[1]] = match[3];
    } else if (std::regex_match(line, match, kEdge)) {
      graph.edges.emplace(match[1], match[3], match[2]);
    }
  }
  return graph;
}

// The start drawn twice; STOP, NONE, MULTI, a timeout, entries, lists as
// play items, unreachable lists and the items only they play, waits past a
// minute and for ever, and labels that need escaping; a graph file that
// cannot be written is reported.
TEST(PsdGraphTest, TargetsReachabilityLabelsAndTheFile) {
  const auto run = test::ParseSortCheck(
      test::Script20("MPGTRACK T 1 \"t.mpg\" MPGTRACK U 2 \"u.mpg\" DEFENTRY CH 0:0:4:0 T\n"
                     "SEGMENT A\"B\xC9 1 \"s.mpg\"\n"
                     "SELECTION START PLAY T DEFAULT MULTI ITEMS ONE TWO ENDITEMS WAIT 150\n"
                     "  TIMEOUT TWO NEXT STOP PREVIOUS NONE ENDSELECTION\n"
                     "PLAYLIST ONE PLAY CH A\"B\xC9 ENDPLAY WAIT 975 RETURN START ENDPLAYLIST\n"
                     "PLAYLIST TWO PLAY ONE ENDPLAY WAIT INF ENDPLAYLIST\n"
                     "PLAYLIST LOST PLAY U ENDPLAY NEXT START ENDPLAYLIST"));
  ASSERT_TRUE(run.ok) << (run.messages.empty() ? "" : run.messages[0]);
  const Graph graph = GraphOf(*run.project);
  // L1 START, L2 ONE, L3 TWO, L4 LOST; I1 T, I2 CH, I3 the segment, I4 U.
  const std::set<std::tuple<std::string, std::string, std::string>> expected = {
      {"L1", "play", "I1"},   {"L1", "NEXT", "stop"},  {"L1", "1", "L2"},
      {"L1", "2", "L3"},      {"L1", "TIMEOUT", "L3"}, {"L2", "play 1", "I2"},
      {"L2", "play 2", "I3"}, {"L2", "RETURN", "L1"},  {"L3", "play", "L2"},
      {"L4", "play", "I4"},   {"L4", "NEXT", "L1"}};
  EXPECT_EQ(graph.edges, expected);
  EXPECT_EQ(graph.labels.at("L1"),
            R"(SELECTION START\nLID 1\nplay T\nwait 10 s, timeout TWO\ndefault MULTI)");
  EXPECT_EQ(graph.labels.at("L3"), R"(PLAYLIST TWO\nLID 3\nplay ONE\nwait for ever)");
  EXPECT_EQ(graph.labels.at("I1"), R"(MPEG track T\ntrack 2)");
  EXPECT_NE(graph.attributes.at("L1").find("peripheries=2"), std::string::npos);
  EXPECT_EQ(graph.labels.at("L2"), "PLAYLIST ONE\\nLID 2\\nplay CH, A\\\"B\xC3\x89\\nwait 70 s");
  EXPECT_EQ(graph.labels.at("I2"), R"(entry CH\nentry 2 of T)");
  EXPECT_EQ(graph.labels.at("I3"), "segment A\\\"B\xC3\x89");
  EXPECT_EQ(graph.labels.at("I4"), R"(MPEG track U\ntrack 3)");
  for (const auto& [node, attributes] : graph.attributes) {  // grey: LOST and U alone
    EXPECT_EQ(attributes.find("grey") != std::string::npos, node == "L4" || node == "I4") << node;
  }
  test::MessageCapture capture;
  EXPECT_FALSE(WritePsdGraph(*run.project, "/nonexistent/menu.dot"));
  EXPECT_EQ(capture.Messages(),
            std::vector<std::string>{
                "Could not write graph file /nonexistent/menu.dot: No such file or directory"});
}

}  // namespace
}  // namespace vcd2
