#include "model/vcd_project.h"

namespace vcd2 {

const MountPoint* VcdProject::FindMount(const std::string& label) const {
  for (const auto& mount : mounts) {
    if (mount->label == label) return mount.get();
  }
  return nullptr;
}

}  // namespace vcd2
