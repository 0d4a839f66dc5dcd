// One sequential read of every sector, for the sector layer and the MPEG
// layer at once, and the INFO.VCD flags judged against what the streams hold.
#include <algorithm>
#include <memory>
#include <vector>

#include "base/byte_order.h"
#include "base/progress.h"
#include "verify/chunk_reader.h"
#include "verify/passes.h"
#include "verify/sector_check.h"
#include "verify/stream_check.h"

namespace vcd2 {
namespace {

// Hands each sector to the stream that holds it; streams are visited in
// disc order and finished as soon as the read passes their end.
class StreamRouter {
 public:
  StreamRouter(std::vector<StreamSpan>& streams, ProblemLog& log) : log_(log) {
    for (StreamSpan& stream : streams) order_.push_back(&stream);
    std::sort(order_.begin(), order_.end(),
              [](const StreamSpan* a, const StreamSpan* b) { return a->first < b->first; });
  }

  void Sector(const uint8_t* sector, int32_t lba, const TrackSpan& track) {
    while (next_ < order_.size() && order_[next_]->end <= lba) Advance();
    if (next_ == order_.size() || lba < order_[next_]->first) return;
    if (!current_) current_ = std::make_unique<StreamCheck>(*order_[next_], log_);
    current_->Sector(sector, lba, track);
  }

  void FinishAll() {
    while (next_ < order_.size()) Advance();
  }

 private:
  void Advance() {
    if (!current_) current_ = std::make_unique<StreamCheck>(*order_[next_], log_);
    current_->Finish();
    current_.reset();
    ++next_;
  }

  ProblemLog& log_;
  std::vector<StreamSpan*> order_;
  size_t next_ = 0;
  std::unique_ptr<StreamCheck> current_;
};

int32_t TotalSectors(const DiscSource& disc) {
  int32_t total = 0;
  for (const TrackSpan& track : disc.tracks) total += track.end - track.first;
  return std::max(total, 1);
}

}  // namespace

bool CheckSectorsAndStreams(VerifyContext& c) {
  ShowStatus("Checking sectors and streams...");
  SetProgressRange(0, TotalSectors(c.disc));
  SectorCheck sectors(c.log);
  StreamRouter streams(c.facts.streams, c.log);
  ChunkReader reader(c.disc);
  int32_t done = 0;
  for (const ChunkReader::Chunk* chunk = &reader.Next(); chunk->sectors != 0;
       reader.Release(), chunk = &reader.Next()) {
    for (size_t i = 0; i < chunk->sectors; ++i) {
      const uint8_t* sector = chunk->bytes.data() + i * kRawSectorSize;
      const int32_t lba = chunk->lba + static_cast<int32_t>(i);
      sectors.Check(sector, lba, *chunk->track);
      streams.Sector(sector, lba, *chunk->track);
    }
    done += static_cast<int32_t>(chunk->sectors);
    SetProgressPos(done);
    if (AbortRequested()) return false;
  }
  streams.FinishAll();
  return true;
}

void CheckStreamFlags(VerifyContext& c) {
  if (!c.facts.info) return;
  const auto& info = *c.facts.info;
  const bool video_cd_20 = info[kVersionOffset] == 2;  // 1.1 has no PAL flags
  for (const StreamSpan& stream : c.facts.streams) {
    if (!stream.segment) {
      if (!video_cd_20 || stream.index >= info::kMaxPalFlagTracks || !stream.has_video) continue;
      const bool flagged =
          (info[info::kPalFlags + stream.index / 8] >> (stream.index % 8) & 1) != 0;
      if (flagged != stream.pal) {
        c.log.Add(
            ProblemCode::kInfoPal,
            "INFO.VCD byte " + std::to_string(info::kPalFlags + stream.index / 8) + " (PAL flags)",
            "MPEG track %u is flagged %s; its stream is %s", stream.index + 1,
            flagged ? "PAL" : "NTSC", stream.pal ? "PAL" : "NTSC");
      }
      continue;
    }
    const size_t offset = info::kSegmentContents + stream.index;
    const uint8_t contents = info[offset];
    const bool says_video = (contents & content::kVideoMask) != 0;
    const bool says_audio = (contents & content::kAudioMask) != 0;
    const bool says_pal = (contents & content::kPal) != 0;
    if (says_video != stream.has_video || says_audio != stream.has_audio ||
        (stream.has_video && says_pal != stream.pal)) {
      c.log.Add(ProblemCode::kInfoSegment,
                "INFO.VCD byte " + std::to_string(offset) + " (segment contents)",
                "is %02X for %s, which holds %s%s%s", contents, stream.name.c_str(),
                stream.has_video ? (stream.pal ? "PAL video" : "NTSC video") : "no video",
                stream.has_audio ? " and audio" : "", "");
    }
  }
}

}  // namespace vcd2
