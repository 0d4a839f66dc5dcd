#include "verify/verify_disc.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/progress.h"
#include "verify/cue_sheet.h"
#include "verify/passes.h"

namespace vcd2 {
namespace {

bool IsCueSheet(const std::vector<std::string>& files) {
  if (files.size() != 1 || files[0].size() < 4) return false;
  std::string suffix = files[0].substr(files[0].size() - 4);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix == ".cue";
}

std::string Summary(const VerifyContext& c, uint64_t sectors) {
  size_t segments = 0;
  for (const StreamSpan& stream : c.facts.streams) segments += stream.segment;
  const bool psd = c.facts.Find("VCD/PSD.VCD") != nullptr;
  char text[512];
  std::snprintf(
      text, sizeof text,
      "%s: %zu faults, %zu warnings; checked %llu sectors in %zu Mode 2 tracks%s, the "
      "ISO 9660 volume (%zu files), INFO.VCD, ENTRIES.VCD%s, %zu MPEG tracks and %zu "
      "segment play items\n",
      c.disc.name.c_str(), c.log.Faults(), c.log.Warnings(),
      static_cast<unsigned long long>(sectors), c.disc.tracks.size(),
      c.disc.audio_files.empty()
          ? ""
          : (" and " + std::to_string(c.disc.audio_files.size()) + " CD-DA files").c_str(),
      c.facts.files.size(), psd ? ", LOT.VCD, PSD.VCD" : "", c.facts.streams.size() - segments,
      segments);
  std::string summary = text;
  for (const std::string& line : c.log.Unshown()) summary += line + "\n";
  return summary;
}

uint64_t SectorCount(const DiscSource& disc) {
  uint64_t count = 0;
  for (const TrackSpan& track : disc.tracks)
    count += static_cast<uint64_t>(track.end - track.first);
  return count;
}

}  // namespace

VerifyOutcome VerifyDisc(const std::vector<std::string>& files, ProblemLog& log,
                         std::string& summary) {
  DiscSource disc;
  ShowStatus("Reading the disc's files...");
  const bool readable =
      IsCueSheet(files) ? ReadCueSheet(files[0], disc, log) : OpenImages(files, disc, log);
  if (!readable) return VerifyOutcome::kUnreadable;  // the rest would only echo the gap
  if (disc.tracks.empty()) {
    log.Add(ProblemCode::kCueMode, disc.name, "holds no MODE2/2352 track");
    return VerifyOutcome::kFaults;
  }
  SectorSource sectors(disc);
  VerifyContext context{disc, sectors, log, {}};
  ShowStatus("Checking ISO 9660 volume...");
  CheckVolume(context);
  ShowStatus("Checking Video CD files...");
  CheckControlFiles(context);
  CheckPlaybackControl(context);
  if (AbortRequested() || !CheckSectorsAndStreams(context)) return VerifyOutcome::kStopped;
  CheckStreamFlags(context);
  summary = Summary(context, SectorCount(disc));
  return log.Faults() == 0 ? VerifyOutcome::kClean : VerifyOutcome::kFaults;
}

}  // namespace vcd2
