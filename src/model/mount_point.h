#pragma once

#include <string>

#include "model/codes.h"

namespace vcd2 {

// A directory given a short label by MOUNT.
struct MountPoint {
  MountMode mode = MountMode::kIntern;
  std::string directory;
  std::string location;  // EXTERN only
  std::string label;
};

}  // namespace vcd2
