#pragma once

#include "vcd2/vcd2.h"

namespace vcd2 {

// What the host registered with VCD2SetCallbacks.
struct HostTables {
  const BuilderCallbacks* callbacks = nullptr;
  VolumeIoTable io{};  // copied at registration
};

void RegisterHostTables(const BuilderCallbacks* callbacks);
const HostTables& RegisteredHostTables();

}  // namespace vcd2
