#include <cerrno>
#include <cstring>

#include "base/error_reporter.h"
#include "make/file_tests.h"
#include "make/make_rules.h"
#include "make/mux_job.h"
#include "make/pending_file.h"
#include "media/source_file.h"

namespace vcd2 {

// The target is made when it is missing or older than any source. The job
// writes a temporary file that becomes the target only when it succeeds.
Status MakeMux(VcdProject& project, MuxMakeRule& rule) {
  const std::string target_path = rule.GetTarget()->NewFullPath().value_or("");
  bool outdated = !FileIsPresent(target_path);
  for (const auto& source : rule.GetSources()) {
    const std::string source_path = source->NewFullPath().value_or("");
    if (!FileIsPresent(source_path)) {
      ReportError("Could not find dependency file %s.", source_path.c_str());
      return false;
    }
    RequireReadable(source_path);
    outdated = outdated || CompareFileTimes(target_path, source_path) == -1;
  }
  if (!outdated) return true;
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
  RecordMade(project, rule, target_path);
  return true;
}

}  // namespace vcd2
