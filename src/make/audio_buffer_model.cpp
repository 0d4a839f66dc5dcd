#include "make/audio_buffer_model.h"

#include "media/mpeg_constants.h"

namespace vcd2 {

void AudioBufferModel::Shift(uint32_t ticks) {
  for (AccessUnitTime& unit : units_) unit.time += ticks;
}

void AudioBufferModel::Drain(uint32_t clock) {
  while (!units_.empty() && units_.front().time <= clock) {
    if (fullness_ < units_.front().bytes) {
      if (!HasRoom()) fullness_ = kCapacity - kPacketRoom - 1;
      return;
    }
    fullness_ -= units_.front().bytes;
    units_.pop_front();
  }
}

bool AudioBufferModel::DueInSector(uint32_t clock) const {
  for (const AccessUnitTime& unit : units_) {
    if (unit.time <= clock && clock - unit.time < kClockTicksPerSector) return true;
  }
  return false;
}

}  // namespace vcd2
