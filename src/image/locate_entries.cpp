#include "image/locate_entries.h"

#include "base/error_reporter.h"

namespace vcd2 {
namespace {

uint32_t FramesPerSecond(uint32_t video_standard) {
  switch (video_standard) {
    case 1:
      return 24;
    case 2:
      return 25;
    default:
      return 30;
  }
}

// The picture number an entry's timecode asks for.
uint32_t TargetPicture(uint32_t timecode, uint32_t fps) {
  const uint32_t hours = timecode >> 24;
  const uint32_t minutes = timecode >> 16 & 0xFF;
  const uint32_t seconds = timecode >> 8 & 0xFF;
  return ((hours * 60 + minutes) * 60 + seconds) * fps + (timecode & 0xFF);
}

// Mode 0 takes the first sequence header at or after the picture, mode 1 the
// last at or before it, mode 2 only one exactly at it.
const PicturePosition* Choose(const std::vector<PicturePosition>& headers, uint32_t target,
                              uint8_t mode) {
  const PicturePosition* taken = nullptr;
  for (const PicturePosition& header : headers) {
    if (header.picture == target) return &header;
    if (mode == 1 && header.picture < target &&
        (taken == nullptr || header.picture > taken->picture)) {
      taken = &header;
    }
    if (mode == 0 && header.picture > target &&
        (taken == nullptr || header.picture < taken->picture)) {
      taken = &header;
    }
  }
  return taken;
}

Status Locate(const MpegTrack& track, EntryPoint& entry) {
  const uint32_t fps = FramesPerSecond(track.video_standard);
  const uint32_t target = TargetPicture(entry.timecode, fps);
  const PicturePosition* taken = Choose(track.sequence_headers, target, entry.placement_mode);
  if (taken == nullptr) {
    if (entry.placement_mode == 2) {
      ReportError("Could not set entry %s, no sequence header at this frame.", entry.label.c_str());
    } else {
      ReportError("Could not set entry %s.", entry.label.c_str());
    }
    return false;
  }
  const uint32_t distance =
      taken->picture > target ? taken->picture - target : target - taken->picture;
  if (distance > 2 * fps) {
    ReportError("Could not set entry %s within 2 sec of desired location.", entry.label.c_str());
    return false;
  }
  entry.found_position = taken->sector;
  return true;
}

}  // namespace

Status LocateEntries(VcdProject& project) {
  for (const auto& track : project.mpeg_tracks) {
    const EntryPoint* before = nullptr;
    for (EntryPoint* entry : track->entries) {
      if (!Locate(*track, *entry)) return false;
      if (before != nullptr && before->found_position == entry->found_position) {
        ReportWarning(
            "Entries %s and %s of track %s fall on the same sector %u; a player sees one.",
            before->label.c_str(), entry->label.c_str(), track->label.c_str(),
            entry->found_position);
      }
      before = entry;
    }
  }
  return true;
}

}  // namespace vcd2
