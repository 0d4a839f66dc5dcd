#pragma once

#include <string>

#include "media/stream_facts.h"

namespace vcd2 {

// Opens an MPEG file with libavformat and fills in what its packs did not
// tell: the duration, and the first video and audio stream when the packs
// named none of known codec (the streams of an MPEG-2 system stream, or
// codecs other than MPEG video and audio). False when it cannot be probed.
bool ProbeStreams(const std::string& path, StreamFacts& facts);

}  // namespace vcd2
