#pragma once

#include <cstdint>
#include <optional>

#include "media/stream_facts.h"
#include "verify/disc_source.h"
#include "verify/problems.h"
#include "verify/verify_context.h"

namespace vcd2 {

// The MPEG layer of one stream (an MPEG track or a segment play item): every
// sector an empty one or one 2324-byte pack (2304 for audio), the system
// clock rising from pack to pack, and the stream Video CD compliant as
// --inspect judges it from the packs' facts.
class StreamCheck {
 public:
  StreamCheck(StreamSpan& stream, ProblemLog& log) : stream_(stream), log_(log) {}

  void Sector(const uint8_t* sector, int32_t lba, const TrackSpan& track);
  // Judges the whole stream and notes what it carries in its span.
  void Finish();

 private:
  // Length of the pack at data, its first stream id and whether it ends a
  // record; 0 when its packets do not parse.
  size_t PackLength(const uint8_t* data, MpegPackReader::Pack& pack) const;

  StreamSpan& stream_;
  ProblemLog& log_;
  StreamFactsCollector collector_;
  std::optional<uint32_t> last_clock_;
};

}  // namespace vcd2
