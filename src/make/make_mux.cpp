#include <cerrno>
#include <cstring>

#include "base/error_reporter.h"
#include "make/file_tests.h"
#include "make/make_rules.h"
#include "make/mux_job.h"
#include "make/pending_file.h"
#include "media/source_file.h"

namespace vcd2 {
namespace {

bool HasOnlyAudio(const MuxMakeRule& rule) {
  bool audio = false;
  for (const auto& source : rule.GetSources()) {
    if (source->GetFileType() != FileType::kMpegAudio) return false;
    audio = true;
  }
  return audio;
}

}  // namespace

// The target is made when it is missing or older than any source. The job
// writes a temporary file that becomes the target only when it succeeds.
Status MakeMux(VcdProject& project, MuxMakeRule& rule) {
  const std::string target_path = rule.GetTarget()->NewFullPath().value_or("");
  bool outdated = !FileIsPresent(target_path);
  for (const auto& source : rule.GetSources()) {
    const std::string source_path = source->NewFullPath().value_or("");
    if (!CheckSourcePresent(source_path)) return false;
    RequireReadable(source_path);
    outdated = outdated || !IsUpToDate(target_path, source_path);
  }
  if (!outdated) return true;
  if (HasOnlyAudio(rule)) {
    ReportError(
        "MAKE MUX %s has only AUDIO sources: the sound goes with still pictures, so "
        "nothing is made without a STILL.",
        target_path.c_str());
    return false;
  }
  if (NonFileKind(target_path) != nullptr) return CheckTargetWritable(target_path);
  MakingMark mark(target_path);
  PendingFile pending(target_path);
  if (!pending.Created()) {
    ReportError("Could not create %s (%s).", target_path.c_str(), std::strerror(errno));
    return false;
  }
  {
    MuxJob job(pending.Path(), rule.GetSources());
    if (!job.RunMux()) return false;
  }
  if (!pending.Commit()) {
    ReportError("Could not create %s (%s).", target_path.c_str(), std::strerror(errno));
    return false;
  }
  RecordMade(project, rule, target_path, mark);
  return true;
}

}  // namespace vcd2
