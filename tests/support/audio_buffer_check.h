#pragma once

#include <vector>

#include "support/pack_parser.h"

namespace vcd2::test {

// The decoder's audio buffer as the system target decoder models it: the
// data bytes of each audio pack arrive at the mux rate from its clock on,
// each frame leaves whole at its presentation time. Written apart from the
// multiplexer's own model, so that the two check each other.
struct AudioBufferRun {
  double peak = 0;         // bytes
  double lateness = -1e9;  // ticks from a frame's time to the arrival of its last byte, at worst
};

AudioBufferRun RunAudioBuffer(const std::vector<ParsedPack>& packs);

}  // namespace vcd2::test
