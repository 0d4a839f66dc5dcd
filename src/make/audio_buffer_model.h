#pragma once

#include <cstdint>
#include <deque>

namespace vcd2 {

// The decoder's audio buffer as the multiplexer sees it: the bytes of every
// audio packet written arrive, and leave at the presentation time of the
// packet they came in.
class AudioBufferModel {
 public:
  static constexpr uint32_t kCapacity = 4096;
  static constexpr uint32_t kPacketRoom = 2291;  // room needed for one more audio packet

  // A packet prepared for writing: its presentation time and data bytes.
  void Add(uint32_t time, uint32_t bytes) { units_.push_back({time, bytes}); }
  // Moves the times of every waiting packet.
  void Shift(uint32_t ticks);
  // Takes out the packets due by clock. When one is due before its bytes
  // are all in, draining stops there and the buffer is taken to have room.
  void Drain(uint32_t clock);
  bool HasRoom() const { return fullness_ + kPacketRoom < kCapacity; }
  void Arrive(uint32_t bytes) { fullness_ += bytes; }
  // True when a waiting packet is due in (clock - 1200, clock].
  bool DueInSector(uint32_t clock) const;

 private:
  struct AccessUnitTime {
    uint32_t time;
    uint32_t bytes;
  };

  uint32_t fullness_ = 0;
  std::deque<AccessUnitTime> units_;
};

}  // namespace vcd2
