// MPEG sources: one pack per Form 2 sector, in clock order, with the
// AUTOPAUSE triggers of the item.
#include <cstdio>

#include "base/error_reporter.h"
#include "base/progress.h"
#include "media/held_sector_writer.h"
#include "media/mpeg_constants.h"
#include "media/pack_sector.h"
#include "media/source_file.h"
#include "media/source_writer.h"
#include "media/stream_clock.h"
#include "media/stream_compliance.h"
#include "media/stream_facts.h"

namespace vcd2 {
namespace {

constexpr int32_t kNoTrigger = 0x0FFFFFFF;

// Sectors from the item's start to a pause mark's time.
int32_t TriggerOffset(const PauseMark& mark) {
  const uint32_t t = mark.timecode;
  const uint32_t seconds = ((t >> 24) * 60 + (t >> 16 & 0xFF)) * 60 + (t >> 8 & 0xFF);
  return static_cast<int32_t>(seconds * kSectorsPerSecond + (t & 0xFF));
}

// "BEGIN", "END" or "AT h:mm:ss:ff", as the script names the mark.
std::string MarkText(const PauseMark& mark) {
  if (mark.position != kPauseAt) return mark.position == kPauseEnd ? "END" : "BEGIN";
  const uint32_t t = mark.timecode;
  char text[32];
  std::snprintf(text, sizeof text, "AT %u:%02u:%02u:%02u", t >> 24, t >> 16 & 0xFF, t >> 8 & 0xFF,
                t & 0xFF);
  return text;
}

// The item's pause marks, in their grouped order. END marks stand apart:
// their trigger goes on the item's last pack.
class Triggers {
 public:
  Triggers(const VcdProject& project, const std::string& label) : label_(label) {
    for (const auto& mark : project.pause_marks) {
      if (mark->reference.name != label) continue;
      if (mark->position == kPauseEnd) {
        at_end_ = true;
      } else {
        marks_.push_back(mark.get());
      }
    }
  }
  int32_t Current() const {
    return next_ < marks_.size() ? TriggerOffset(*marks_[next_]) : kNoTrigger;
  }
  bool AtEnd() const { return at_end_; }
  // Moves past the marks whose sector has been written. A mark that comes up
  // behind the written sectors (out of time order, or a second one in the
  // same run of fillers) gets no trigger.
  void Advance(int32_t written) {
    while (next_ < marks_.size() && written > TriggerOffset(*marks_[next_])) {
      if (++next_ < marks_.size() && written > TriggerOffset(*marks_[next_])) Skipped(next_);
    }
  }
  // The marks beyond the stream's end get no trigger either.
  void Finish() {
    for (size_t i = next_; i < marks_.size(); ++i) Skipped(i);
  }

 private:
  void Skipped(size_t index) const {
    ReportWarning("AUTOPAUSE %s %s gets no trigger.", label_.c_str(),
                  MarkText(*marks_[index]).c_str());
  }

  std::string label_;
  std::vector<const PauseMark*> marks_;
  size_t next_ = 0;
  bool at_end_ = false;
};

// Reading ends at the first bad pack; the user learns how much of the file
// that left out, unless it is zero stuffing.
void TellUnusedBytes(const std::string& path, uint64_t used, uint64_t file_size) {
  if (used >= file_size) return;
  const UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (file && fseeko(file.get(), static_cast<off_t>(used), SEEK_SET) == 0) {
    int byte;
    while ((byte = std::fgetc(file.get())) == 0) {
    }
    if (byte == EOF) return;
  }
  ReportWarning("Reading %s stopped at byte %llu: the %llu bytes after it were not used.",
                path.c_str(), static_cast<unsigned long long>(used),
                static_cast<unsigned long long>(file_size - used));
}

}  // namespace

Status WriteMpegFile(SourceContext& context) {
  const std::string path = context.item.NewFullPath().value_or("");
  const uint64_t file_size = SourceSize(path);
  StartSectorProgress(file_size / kVideoPackSize);
  MpegPackReader reader;
  RawSector sector{};
  MpegPackReader::Pack pack;
  const std::span<uint8_t> destination(sector.data() + kUserDataOffset, kVideoPackSize);
  if (!reader.Open(path) || !reader.ReadPack(destination, pack)) {
    ReportError("Not an MPEG file: %s.", path.c_str());
    return false;
  }
  StreamFactsCollector facts;  // for the compliance warning, gathered as the packs pass
  facts.AddPack(destination, pack);
  const int32_t start = context.result.next_sector;
  StreamClock clock(path, file_size, ReadScr(destination.data() + 4));
  Triggers triggers(context.project, context.item.label);
  HeldSectorWriter held(context.writer);  // the last pack gets the END trigger
  PackPlacement placement{held,
                          context.result.next_sector,
                          ReadScr(destination.data() + 4),
                          start + triggers.Current(),
                          context.file_number,
                          context.scanner,
                          path};
  pack.end_of_record = false;
  for (;;) {
    if (!IsSectorPackLength(pack.length)) {  // WritePackSector refuses it: the copy stops here
      WarnAboutProblems(path, FindStreamProblems(path, facts.Facts()));
    }
    if (!WritePackSector(sector, pack, placement)) return false;
    triggers.Advance(context.result.next_sector - start);
    placement.trigger_sector = start + triggers.Current();
    sector.fill(0);
    const uint64_t used = reader.Offset();
    if (!reader.ReadPack(destination, pack) || pack.length == 0) {
      WarnAboutProblems(path, FindStreamProblems(path, facts.Facts()));
      TellUnusedBytes(path, used, file_size);
      break;
    }
    facts.AddPack(destination, pack);
    if (!clock.Check(ReadScr(destination.data() + 4), pack.offset, placement.expected_clock)) {
      return false;
    }
    StepProgress();
    if (AbortRequested()) return false;
  }
  triggers.Finish();
  if (!held.Release(triggers.AtEnd() ? submode::kTrigger : 0)) return false;
  context.result.sector_count = clock.SpanSectors();
  context.result.size = static_cast<uint32_t>(context.result.sector_count * kForm1DataSize);
  context.result.content_type = reader.GetContentType();
  return true;
}

}  // namespace vcd2
