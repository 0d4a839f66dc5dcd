#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "image/iso/volume_tree.h"
#include "vcd2/vcd2.h"

namespace vcd2 {

// Mirrors the volume's directory tree into node records of the host, when
// the host registered a node callback, and releases them again. Each
// directory's entries are chained from it through `next`; the root files
// chain from the first of them.
class HostNodes {
 public:
  // Every node carries the disc's volume number.
  HostNodes(const BuilderCallbacks* callbacks, uint16_t volume_number);
  HostNodes(const HostNodes&) = delete;
  HostNodes& operator=(const HostNodes&) = delete;
  // Releases every node: the root chain, then each directory in creation
  // order, each chain from its end.
  ~HostNodes();

  // Returns the host's handle, or null without a host.
  VolumeImagerNode* AddDirectory(const std::string& name, const RecordingDate& date);
  VolumeImagerNode* AddFile(const VolumeFile& file, VolumeImagerNode* directory,
                            const RecordingDate& date);

 private:
  VolumeImagerNode* Create(VolumeImagerNode& record, const std::string& name,
                           const RecordingDate& date);
  void Link(VolumeImagerNode* directory, VolumeImagerNode* node);
  void Release(VolumeImagerNode* node);

  const BuilderCallbacks* callbacks_;
  uint16_t volume_number_;
  std::vector<VolumeImagerNode*> chain_heads_;  // the root chain's head first, then directories
  std::vector<std::pair<VolumeImagerNode*, VolumeImagerNode*>> tails_;  // directory, last entry
  VolumeImagerNode* root_tail_ = nullptr;
  std::deque<std::array<uint8_t, 14>>
      blocks_;  // XA records and attribute blocks the nodes point to
};

}  // namespace vcd2
