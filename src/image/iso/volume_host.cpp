#include "image/iso/volume_host.h"

namespace vcd2 {
namespace {

VolumeHost installed;

}  // namespace

void SetVolumeHost(const VolumeHost& host) {
  installed = host;
}

const VolumeHost& CurrentVolumeHost() {
  return installed;
}

}  // namespace vcd2
