#include "image/build_summary.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>

#include "base/error_reporter.h"
#include "sector/sector_layout.h"

namespace vcd2 {
namespace {

constexpr uint64_t k74Minutes = 74 * uint64_t{kSectorsPerMinute};
constexpr uint64_t k80Minutes = 80 * uint64_t{kSectorsPerMinute};
constexpr double kRawSectorBytes = kRawSectorSize;

void Append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& text, const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  text += line;
}

// A length in sectors as minutes and seconds, "mm:ss".
std::string Duration(uint64_t sectors) {
  const uint64_t seconds = sectors / kSectorsPerSecond;
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u", static_cast<unsigned>(seconds / 60),
                static_cast<unsigned>(seconds % 60));
  return text;
}

std::string Count(size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The track's entries: its start and the entry points in it, named.
std::string TrackEntries(const MpegTrack& track) {
  std::string text = Count(1 + track.entries.size(), "entry", "entries");
  for (size_t i = 0; i < track.entries.size(); ++i) {
    text += (i == 0 ? " (" : ", ") + track.entries[i]->label;
  }
  return track.entries.empty() ? text : text + ")";
}

// A track image holds its pregap and its sectors. The data image is measured
// where it is written: during a check it is never named.
uint64_t ImageBytes(const VcdProject& project, size_t index, const std::string& path) {
  if (index > 0) {
    return (kPregapSectors + uint64_t{project.mpeg_tracks.at(index - 1)->sector_count}) *
           kRawSectorSize;
  }
  std::error_code error;
  const uint64_t bytes = std::filesystem::file_size(project.outputs.WorkingPath(path), error);
  return error ? 0 : bytes;
}

}  // namespace

std::string BuildSummary(const VcdProject& project) {
  std::string text = "Images:\n";
  uint64_t data_sectors = 0;
  for (size_t i = 0; i < project.output_names.size(); ++i) {
    const std::string path = project.output_names[i]->NewFullPath().value_or("");
    const uint64_t bytes = ImageBytes(project, i, path);
    if (i == 0 && bytes != 0) data_sectors = bytes / kRawSectorSize - kPregapSectors;
    if (project.outputs.IsUnnamed(path)) continue;  // only in the disc image
    Append(text, "  %-40s %9.2f MB\n", path.c_str(), static_cast<double>(bytes) / 1e6);
  }
  if (text == "Images:\n") text = "Images: only the disc image\n";
  text += "Tracks:\n";
  Append(text, "   1  data track %-20s %s\n", "", Duration(data_sectors).c_str());
  size_t entries = 0;
  for (const auto& track : project.mpeg_tracks) {
    entries += 1 + track->entries.size();
    Append(text, "  %2u  MPEG track %-20s %s  %s, ", static_cast<unsigned>(track->position + 2),
           track->label.c_str(), Duration(track->sector_count).c_str(),
           track->video_standard == 2 ? "PAL" : "NTSC");
    text += TrackEntries(*track) + "\n";
  }
  for (const auto& track : project.audio_tracks) {
    Append(text, "  %2u  CD-DA track %-19s %s\n", static_cast<unsigned>(track->position),
           track->label.c_str(), Duration(track->sector_count).c_str());
  }
  const uint64_t disc = project.next_free_address;
  Append(text, "Entries: %zu\n", entries);
  Append(text, "Disc: %s, %.1f MB; %.1f%% of a 74-minute disc, %.1f%% of an 80-minute disc\n",
         Duration(disc).c_str(), static_cast<double>(disc) * kRawSectorBytes / 1e6,
         100.0 * static_cast<double>(disc) / k74Minutes,
         100.0 * static_cast<double>(disc) / k80Minutes);
  return text;
}

void WarnDiscLength(const VcdProject& project) {
  const uint64_t disc = project.next_free_address;
  if (disc > k80Minutes) {
    ReportWarning(
        "The disc is longer than 80 minutes: %llu sectors, %llu fit; most burners "
        "refuse it.",
        static_cast<unsigned long long>(disc), static_cast<unsigned long long>(k80Minutes));
  } else if (disc > k74Minutes) {
    ReportWarning(
        "The disc is longer than 74 minutes: %llu sectors, %llu fit; it needs "
        "80-minute media.",
        static_cast<unsigned long long>(disc), static_cast<unsigned long long>(k74Minutes));
  }
}

}  // namespace vcd2
