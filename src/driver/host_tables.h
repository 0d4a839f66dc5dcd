#pragma once

#include "vcd2/vcd2.h"

namespace vcd2 {

// What the host registered with VCD2SetCallbacks; registration also installs
// the volume step's host and the message sink.
struct HostTables {
  const BuilderCallbacks* callbacks = nullptr;
};

void RegisterHostTables(const BuilderCallbacks* callbacks);
const HostTables& RegisteredHostTables();

}  // namespace vcd2
