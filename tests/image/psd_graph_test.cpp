#include "image/psd_graph.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "support/message_capture.h"
#include "support/script_runner.h"

namespace vcd2 {
namespace {

// A graph read back: each node's label lines and attributes, and each edge
// as (label of its source's first line, edge label, target's first line).
struct Graph {
  std::map<std::string, std::string> labels;      // node id -> label as written
  std::map<std::string, std::string> attributes;  // node id -> what follows the label
  std::set<std::tuple<std::string, std::string, std::string>> edges;
};

std::string FirstLine(const std::string& label) {
  return label.substr(0, label.find("\\n"));
}

Graph ReadGraph(const std::string& dot) {
  static const std::regex kNode(R"re(^  (\w+) \[label="((?:[^"\\]|\\.)*)"(.*)\];$)re");
  static const std::regex kEdge(R"re(^  (\w+) -> (\w+) \[label="([^"]*)".*$)re");
  Graph graph;
  std::vector<std::tuple<std::string, std::string, std::string>> edges;
  std::istringstream lines(dot);
  std::smatch match;
  for (std::string line; std::getline(lines, line);) {
    if (std::regex_match(line, match, kNode)) {
      graph.labels[match[1]] = match[2];
      graph.attributes[match[1]] = match[3];
    } else if (std::regex_match(line, match, kEdge)) {
      edges.emplace_back(match[1], match[3], match[2]);
    }
  }
  for (const auto& [from, label, to] : edges) {
    graph.edges.emplace(FirstLine(graph.labels[from]), label, FirstLine(graph.labels[to]));
  }
  return graph;
}

Graph GraphOf(const std::string& script) {
  const auto run = test::ParseSortCheck(script);
  EXPECT_TRUE(run.ok) << (run.messages.empty() ? "" : run.messages[0]);
  return ReadGraph(PsdGraph(*run.project));
}

// The bundled example: a menu with a timeout, drawn as the start.
TEST(PsdGraphTest, TheExampleMenu) {
  std::stringstream script;
  script << std::ifstream(EXAMPLES_DIR "/example.vcd", std::ios::binary).rdbuf();
  const Graph graph = GraphOf(script.str());
  const std::string menu = "SELECTION START";
  EXPECT_EQ(graph.edges.size(), 14u);
  EXPECT_TRUE(graph.edges.count({menu, "TIMEOUT", "PLAYLIST PLAYINTRO"}));
  EXPECT_TRUE(graph.edges.count({menu, "3", "PLAYLIST PLAYCLIP"}));
  EXPECT_TRUE(graph.edges.count({"PLAYLIST PLAYCLIP", "play", "segment MENUCLIP"}));
  EXPECT_EQ(graph.labels.at("L1"),
            R"(SELECTION START\nLID 1\nplay MENUCLIP\nwait 10 s, timeout PLAYINTRO)");
  EXPECT_EQ(graph.labels.at("I3"), R"(MPEG track FEATURE\ntrack 3)");
  EXPECT_NE(graph.attributes.at("L1").find("peripheries=2"), std::string::npos);
  for (const auto& [node, attributes] : graph.attributes) {
    EXPECT_EQ(attributes.find("grey"), std::string::npos) << node;
  }
}

// STOP, NONE, MULTI, entries, lists as play items, unreachable lists and
// the items only they play, waits past a minute and for ever, and labels
// that need escaping.
TEST(PsdGraphTest, TargetsReachabilityAndLabels) {
  const Graph graph = GraphOf(
      test::Script20("MPGTRACK T 1 \"t.mpg\" MPGTRACK U 2 \"u.mpg\" DEFENTRY CH 0:0:4:0 T\n"
                     "SEGMENT A\"B\xC9 1 \"s.mpg\"\n"
                     "SELECTION START PLAY T DEFAULT MULTI ITEMS ONE TWO ENDITEMS WAIT INF\n"
                     "  NEXT STOP PREVIOUS NONE ENDSELECTION\n"
                     "PLAYLIST ONE PLAY CH A\"B\xC9 ENDPLAY WAIT 975 RETURN START ENDPLAYLIST\n"
                     "PLAYLIST TWO PLAY ONE ENDPLAY ENDPLAYLIST\n"
                     "PLAYLIST LOST PLAY U ENDPLAY NEXT START ENDPLAYLIST"));
  const std::string start = "SELECTION START";
  const std::string segment = "segment A\\\"B\xC3\x89";
  const std::set<std::tuple<std::string, std::string, std::string>> expected = {
      {start, "play", "MPEG track T"},
      {start, "NEXT", "STOP"},
      {start, "1", "PLAYLIST ONE"},
      {start, "2", "PLAYLIST TWO"},
      {"PLAYLIST ONE", "play 1", "entry CH"},
      {"PLAYLIST ONE", "play 2", segment},
      {"PLAYLIST ONE", "RETURN", start},
      {"PLAYLIST TWO", "play", "PLAYLIST ONE"},
      {"PLAYLIST LOST", "play", "MPEG track U"},
      {"PLAYLIST LOST", "NEXT", start}};
  EXPECT_EQ(graph.edges, expected);
  EXPECT_EQ(graph.labels.at("L1"),
            R"(SELECTION START\nLID 1\nplay T\nwait for ever\ndefault MULTI)");
  EXPECT_EQ(graph.labels.at("L2"), "PLAYLIST ONE\\nLID 2\\nplay CH, A\\\"B\xC3\x89\\nwait 70 s");
  EXPECT_EQ(graph.labels.at("I2"), R"(entry CH\nentry 2 of T)");
  for (const std::string node : {"L4", "I4"}) {  // LOST and U
    EXPECT_NE(graph.attributes.at(node).find("grey"), std::string::npos) << node;
  }
  for (const std::string node : {"L1", "L2", "L3", "I1", "I2", "I3"}) {
    EXPECT_EQ(graph.attributes.at(node).find("grey"), std::string::npos) << node;
  }
}

TEST(PsdGraphTest, AGraphFileThatCannotBeWrittenIsReported) {
  const auto run = test::ParseSortCheck(test::Script20(""));
  test::MessageCapture capture;
  EXPECT_FALSE(WritePsdGraph(*run.project, "/nonexistent/menu.dot"));
  EXPECT_EQ(capture.Messages(),
            std::vector<std::string>{
                "Could not write graph file /nonexistent/menu.dot: No such file or directory"});
}

}  // namespace
}  // namespace vcd2
