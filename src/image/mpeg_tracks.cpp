#include "image/mpeg_tracks.h"

#include <cerrno>
#include <cstdio>

#include "base/error_reporter.h"
#include "base/file_error.h"
#include "base/progress.h"
#include "base/unique_file.h"
#include "image/gap_sectors.h"
#include "media/source_writer.h"
#include "sector/sequential_writer.h"

namespace vcd2 {
namespace {

constexpr int32_t kFrontMargin = 30;
constexpr int32_t kRearMargin = 45;
constexpr uint8_t kMarginSubmode = submode::kRealTime | submode::kForm2;  // 0x60
constexpr uint8_t kPalContent = 0x10;

RawSector MarginSector(uint8_t file_number, uint8_t mode) {
  RawSector sector{};
  SetSubheader(sector, {file_number, 0, mode, 0});
  return sector;
}

Status WriteTrack(VcdProject& project, MpegTrack& track, std::FILE* image, bool last) {
  const auto number = static_cast<uint8_t>(track.position + 1);
  SequentialWriter writer(image);
  int32_t lba = -kPregapSectors;
  if (!WriteSectors(writer, lba, kPregapSectors, EmptyGapSector())) return false;
  lba = 0;
  if (!WriteSectors(writer, lba, kFrontMargin, MarginSector(number, kMarginSubmode))) return false;
  lba = kFrontMargin;
  SourceResult source = WriteSourceSectors(project, writer, track, lba, number, true);
  if (!source.ok) return false;
  lba = source.next_sector;
  track.sequence_headers = std::move(source.sequence_headers);
  if (!WriteSectors(writer, lba, kRearMargin - 1, MarginSector(number, kMarginSubmode)) ||
      !WriteSectors(writer, lba + kRearMargin - 1, 1,
                    MarginSector(number, kMarginSubmode | submode::kEndOfFile))) {
    return false;
  }
  lba += kRearMargin;
  if (last) {
    const bool audio_follows = !project.audio_tracks.empty();
    const int32_t gap = audio_follows ? kScramblerGapSectors : kTrackEndGap;
    if (!WriteSectors(writer, lba, gap, audio_follows ? ScramblerGapSector() : EmptyGapSector())) {
      return false;
    }
    lba += gap;
  }
  if (!writer.Flush()) return false;
  track.sector_count = static_cast<uint32_t>(lba);
  track.video_standard = (source.content_type & kPalContent) != 0 ? 2 : 3;
  return true;
}

}  // namespace

Status BuildMpegTracks(VcdProject& project) {
  auto& tracks = project.mpeg_tracks;
  for (size_t i = 0; i < tracks.size(); ++i) {
    char status[64];
    std::snprintf(status, sizeof status, "Creating MPEG Video track %zu...", i + 1);
    ShowStatus(status);
    if (project.output_names.size() < i + 2) {
      ReportError("No output filename defined for this track.");
      return false;
    }
    const std::string name = project.output_names[i + 1]->NewFullPath().value_or("");
    UniqueFile image(std::fopen(project.outputs.Create(name, true).c_str(), "wb+"));
    if (!image) {
      ReportError("Could not open image file.%s", FileErrorLine(name, errno).c_str());
      return false;
    }
    if (!WriteTrack(project, *tracks[i], image.get(), i + 1 == tracks.size())) return false;
    if (std::fclose(image.release()) != 0) {
      ReportWriteFailure(errno, name);
      return false;
    }
  }
  return true;
}

}  // namespace vcd2
