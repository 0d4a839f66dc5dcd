#include "driver/check_script.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "base/disc_layout.h"
#include "base/error_reporter.h"
#include "base/progress.h"
#include "driver/host_tables.h"
#include "image/build_summary.h"
#include "make/make_rules.h"
#include "media/source_file.h"
#include "media/stream_compliance.h"
#include "media/stream_facts.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

constexpr const char* kKindNames[] = {"STILL", "MUX", "MPA"};
// The pregap and the empty sectors before and after the stream.
constexpr uint32_t kTrackMargins = kPregapSectors + 30 + 45;

std::string PathOf(const FileRef& file) {
  return file.NewFullPath().value_or("");
}

// The targets of the MAKE rules that would run: missing or older than a source.
std::set<std::string> PendingTargets(const VcdProject& project, std::string& listing) {
  std::set<std::string> targets;
  for (const auto& rule : project.makes) {
    const std::string target = PathOf(*rule->GetTarget());
    bool due = !std::filesystem::exists(target);
    for (const auto& source : rule->GetSources()) due |= !IsUpToDate(target, PathOf(*source));
    if (!due) continue;
    targets.insert(target);
    listing += std::string("  MAKE ") + kKindNames[static_cast<size_t>(rule->Kind())] + " " +
               target + "\n";
  }
  return targets;
}

// Inspects one MPEG source as the build's reader would meet it; its packs,
// or 0 after reporting an error.
uint64_t CheckMpegSource(const std::string& path) {
  SourceSize(path);  // an unmeasurable source ends the build with a file error
  StreamFacts facts;
  std::string reason;
  if (!ReadStreamFacts(path, facts, reason) || facts.mpeg_version != 1) {
    ReportError("Not an MPEG file: %s.", path.c_str());
    return 0;
  }
  WarnAboutProblems(path, FindStreamProblems(path, facts));
  return facts.packs;
}

}  // namespace

int32_t CheckScript(const VcdProject& project) {
  ShowStatus("Checking sources...");
  std::string makes;
  const std::set<std::string> pending = PendingTargets(project, makes);
  std::string text = "Nothing was written. A build would write:\n";
  for (const auto& output : project.output_names) {
    const std::string path = PathOf(*output);
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (access(folder.empty() ? "." : folder.c_str(), W_OK) != 0) {
      ReportError("Could not open image file.");
      return VCD2_RESULT_FAILED;
    }
    text += "  " + path + "\n";
  }
  text += "Tracks:\n";
  for (const auto& track : project.mpeg_tracks) {
    const std::string path = PathOf(*track);
    uint64_t packs = 0;
    if (pending.count(path) == 0 && (packs = CheckMpegSource(path)) == 0) return VCD2_RESULT_FAILED;
    char line[160];
    std::snprintf(line, sizeof line, "  %2u  MPEG track %-20s %s  %zu entries\n",
                  static_cast<unsigned>(track->position + 2), track->label.c_str(),
                  packs != 0 ? Duration(packs + kTrackMargins).c_str() : "made by MAKE",
                  track->entries.size());
    text += line;
  }
  for (const auto& track : project.audio_tracks) {
    const std::string path = PathOf(*track);
    const uint64_t sectors = pending.count(path) != 0 ? 0 : SourceSize(path) / kRawSectorSize;
    text += "  CD-DA track " + track->label + "  " + Duration(sectors) + "\n";
  }
  for (const auto& segment : project.segments) {
    const std::string path = PathOf(*segment);
    if (segment->GetFileType() != FileType::kMpegSystem || pending.count(path) != 0) continue;
    if (CheckMpegSource(path) == 0) return VCD2_RESULT_FAILED;
  }
  text += "Segments: " + std::to_string(project.segments.size()) + "\n";
  text +=
      makes.empty() ? "MAKE rules that would run: none\n" : "MAKE rules that would run:\n" + makes;
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  if (host != nullptr && host->show_summary != nullptr) host->show_summary(text.c_str());
  return VCD2_RESULT_OK;
}

}  // namespace vcd2
