#include "image/locate_entries.h"

#include <cstdio>
#include <string>

#include "base/disc_layout.h"
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

// A picture number as a time code of the script.
std::string TimeOf(uint32_t picture, uint32_t fps) {
  const uint32_t seconds = picture / fps;
  char text[32];
  std::snprintf(text, sizeof text, "%u:%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                seconds % 60, picture % fps);
  return text;
}

// The line after a refused entry: how long the track is and the time of the
// sequence header nearest the one asked for, where an entry can be set.
std::string WhereEntriesFit(const MpegTrack& track, uint32_t target, uint32_t fps) {
  const PicturePosition* nearest = nullptr;
  auto distance = [target](uint32_t p) { return p > target ? p - target : target - p; };
  for (const PicturePosition& header : track.sequence_headers) {
    if (nearest == nullptr || distance(header.picture) < distance(nearest->picture)) {
      nearest = &header;
    }
  }
  const uint32_t seconds = track.sector_count / static_cast<uint32_t>(kSectorsPerSecond);
  std::string line = "\r\nTrack " + track.label + " plays about " + TimeOf(seconds * fps, fps);
  if (nearest == nullptr) return line + "; it has no sequence header for an entry.";
  return line + "; the nearest time an entry can take is " + TimeOf(nearest->picture, fps) + ".";
}

// The pictures of a field that make a second or more at the track's rate
// (25 to 29 on a PAL track, as 30 and more were told when the script was read).
void WarnAboutPictures(const MpegTrack& track, const EntryPoint& entry, uint32_t fps) {
  constexpr uint32_t kMostPicturesPerSecond = 30;
  const uint32_t pictures = entry.timecode & 0xFF;
  if (pictures < fps || pictures >= kMostPicturesPerSecond) return;
  ReportWarning(
      "Entry %s asks for picture %u of a second; track %s has %u pictures a second, so "
      "it is read as %s.",
      entry.label.c_str(), pictures, track.label.c_str(), fps,
      TimeOf(TargetPicture(entry.timecode, fps), fps).c_str());
}

Status Locate(const MpegTrack& track, EntryPoint& entry) {
  const uint32_t fps = FramesPerSecond(track.video_standard);
  const uint32_t target = TargetPicture(entry.timecode, fps);
  WarnAboutPictures(track, entry, fps);
  const PicturePosition* taken = Choose(track.sequence_headers, target, entry.placement_mode);
  if (taken == nullptr) {
    const std::string where = WhereEntriesFit(track, target, fps);
    if (entry.placement_mode == 2) {
      ReportError("Could not set entry %s, no sequence header at this frame.%s",
                  entry.label.c_str(), where.c_str());
    } else {
      ReportError("Could not set entry %s.%s", entry.label.c_str(), where.c_str());
    }
    return false;
  }
  const uint32_t distance =
      taken->picture > target ? taken->picture - target : target - taken->picture;
  if (distance > 2 * fps) {
    ReportError("Could not set entry %s within 2 sec of desired location.%s", entry.label.c_str(),
                WhereEntriesFit(track, target, fps).c_str());
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
