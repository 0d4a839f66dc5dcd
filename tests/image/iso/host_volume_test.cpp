// A host that mirrors the directory tree and supplies file data itself.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/disc_build.h"

namespace vcd2 {
namespace {

struct Host {
  std::map<VolumeImagerNode*, std::string> nodes;  // alive, with their names
  std::vector<std::string> created;
  std::set<uint16_t> volumes;
  std::string opened;
  uint32_t left = 0;
} host;

VolumeImagerNode* CreateNode(const VolumeImagerNode* record) {
  auto* node = new VolumeImagerNode(*record);
  node->host_data = record->kind == VCD2_NODE_READ_FILE ? 1 : 0;
  host.nodes[node] = record->name;
  host.volumes.insert(record->volume_sequence_number);
  host.created.push_back(record->name + std::string(record->parent ? " in " : " at ") +
                         (record->parent ? host.nodes[record->parent] : "root"));
  return node;
}

void ReleaseNode(VolumeImagerNode* node) {
  ASSERT_EQ(host.nodes.erase(node), 1u);  // released once
  delete node;
}

int32_t OpenFile(VolumeImagerNode* node) {
  host.opened = host.nodes.at(node);
  host.left = node->size;
  return 1;
}

int32_t ReadFile(void* buffer, uint32_t count) {
  const uint32_t n = std::min(count, host.left);
  std::fill_n(static_cast<char*>(buffer), n, 'h');
  host.left -= n;
  return static_cast<int32_t>(n);
}

using HostVolumeTest = test::DiscTest;

TEST_F(HostVolumeTest, TheHostGetsEveryNodeAndSuppliesItsFiles) {
  host = {};
  dir_.Write("copy.txt", std::string(3000, 'c'));
  static const VolumeIoTable io = {
      nullptr, nullptr, OpenFile, [](VolumeImagerNode*) -> int32_t { return 1; }, ReadFile, {}};
  BuilderCallbacks callbacks{};
  callbacks.create_node = CreateNode;
  callbacks.release_node = ReleaseNode;
  callbacks.io_table = &io;
  const auto build = test::BuildDisc(dir_,
                                     "COPYRIGHT \"COPY.TXT\" DIR \"copy.txt\" VOLUME 2 ANZVOL 3\n"
                                     "OUTPUT 1 DIR \"data.bin\" ENDOUTPUT",
                                     "", nullptr, &callbacks);
  ASSERT_EQ(build.result, 0) << (build.messages.empty() ? "" : build.messages[0]);
  // Root files, then each directory with its files, in the volume's order.
  const std::vector<std::string> created = {
      "COPY.TXT at root",   "EXT at root",     "VCD at root",   "INFO.VCD in VCD",
      "ENTRIES.VCD in VCD", "SEGMENT at root", "MPEGAV at root"};
  EXPECT_EQ(host.created, created);
  EXPECT_EQ(host.volumes, std::set<uint16_t>{2});  // the disc's, on every node
  EXPECT_EQ(host.opened, "COPY.TXT");
  EXPECT_TRUE(host.nodes.empty());  // every node released
  EXPECT_EQ(test::ReadVolumeFile(Out("data.bin"), 152, 3000), std::vector<uint8_t>(3000, 'h'));
}

}  // namespace
}  // namespace vcd2
