#pragma once

#include "vcd2/vcd2.h"

namespace vcd2 {

// What the volume step takes from the host: the node callbacks that mirror
// the directory tree, and the file io for nodes the host owns. The driver
// installs it when the host registers its table.
struct VolumeHost {
  const BuilderCallbacks* callbacks = nullptr;
  VolumeIoTable io{};
};

void SetVolumeHost(const VolumeHost& host);
const VolumeHost& CurrentVolumeHost();

}  // namespace vcd2
