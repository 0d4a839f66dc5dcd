#include "verify/stream_check.h"

#include "base/byte_order.h"
#include "media/mpeg_constants.h"
#include "media/stream_compliance.h"
#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

constexpr uint8_t kPayloadBits = submode::kVideo | submode::kAudio | submode::kData;
constexpr int kPalHeight = 288;

bool IsPrefix(const uint8_t* b) {
  return b[0] == 0 && b[1] == 0 && b[2] == 1;
}

}  // namespace

size_t StreamCheck::PackLength(const uint8_t* data, MpegPackReader::Pack& pack) const {
  size_t at = kPackHeaderSize;
  bool first = true;
  while (at + 4 <= kVideoPackSize) {
    const uint8_t* p = data + at;
    if (p[0] == 0 && p[1] == 0 && p[2] == 0) break;  // zero bytes end the pack
    if (!IsPrefix(p)) return 0;
    const uint8_t id = p[3];
    if (id == start_code::kEnd) {
      pack.end_of_record = true;
      return at + 4;
    }
    if (id < start_code::kSystemHeader || at + 6 > kVideoPackSize) return 0;
    if (first) {
      pack.stream_id = id == start_code::kSystemHeader && at + 13 <= kVideoPackSize ? p[12] : id;
      first = false;
    }
    pack.end_of_record |= id == start_code::kPadding;
    at += 6 + LoadBigEndian16(p + 4);
  }
  return at <= kVideoPackSize ? at : 0;
}

void StreamCheck::Sector(const uint8_t* s, int32_t lba, const TrackSpan& track) {
  const uint8_t* data = s + kUserDataOffset;
  auto where = [&] {
    return SectorPlace(track.path, lba - track.header_base) + " (" + stream_.name + ")";
  };
  const bool pack_start = IsPrefix(data) && data[3] == start_code::kPack;
  if (!pack_start) {
    // Margins, padding and gaps carry no payload bits; their data is no pack.
    if ((s[kSubheaderOffset + 2] & kPayloadBits) != 0) {
      log_.Add(ProblemCode::kMpegPack, where(),
               "holds no MPEG pack (it begins %02X %02X %02X %02X)", data[0], data[1], data[2],
               data[3]);
    }
    return;
  }
  if (data[4] >> 4 != 2) {
    log_.Add(ProblemCode::kMpegPack, where(), "holds an MPEG-2 pack; a Video CD has MPEG-1");
    return;
  }
  MpegPackReader::Pack pack;
  pack.length = PackLength(data, pack);
  if (pack.length == 0) {
    log_.Add(ProblemCode::kMpegPack, where(), "the packets of its pack do not parse");
    return;
  }
  const bool audio = pack.length == kAudioPackSize;
  if (pack.length != kVideoPackSize && !audio && !pack.end_of_record) {
    log_.Add(ProblemCode::kMpegPack, where(),
             "holds a pack of %zu bytes; a Video CD sector holds 2324 (2304 for audio)",
             pack.length);
  }
  const uint32_t clock = ReadScr(data + 4);
  if (last_clock_ && clock <= *last_clock_) {
    log_.Add(ProblemCode::kMpegClock, where(), "the system clock %u follows %u", clock,
             *last_clock_);
  }
  last_clock_ = clock;
  collector_.AddPack({data, pack.length}, pack);
}

void StreamCheck::Finish() {
  const StreamFacts& facts = collector_.Facts();
  stream_.has_video = facts.has_video;
  stream_.has_audio = facts.has_audio;
  stream_.pal = facts.height == kPalHeight || facts.height == 2 * kPalHeight;
  if (facts.packs == 0) {
    log_.Add(ProblemCode::kMpegPack, stream_.name, "holds no MPEG pack");
    return;
  }
  for (const StreamProblem& problem : FindStreamProblems(stream_.name, facts)) {
    log_.Add(ProblemCode::kMpegCompliance, stream_.name, "%s", problem.what.c_str());
  }
}

}  // namespace vcd2
