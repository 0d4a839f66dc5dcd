#include "driver/host_tables.h"

#include "base/error_reporter.h"
#include "image/iso/volume_host.h"

namespace vcd2 {
namespace {

HostTables registered;

}  // namespace

void RegisterHostTables(const BuilderCallbacks* callbacks) {
  registered.callbacks = callbacks;
  SetVolumeHost({callbacks, callbacks != nullptr && callbacks->io_table != nullptr
                                ? *callbacks->io_table
                                : VolumeIoTable{}});
  void (*show)(const char*) = callbacks != nullptr ? callbacks->show_message : nullptr;
  if (show != nullptr) {
    Reporter().SetSink([show](const std::string& text) { show(text.c_str()); });
  } else {
    Reporter().SetSink(nullptr);
  }
}

const HostTables& RegisteredHostTables() {
  return registered;
}

}  // namespace vcd2
