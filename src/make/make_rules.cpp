#include "make/make_rules.h"

#include "base/error_reporter.h"
#include "make/file_tests.h"
#include "media/source_file.h"

namespace vcd2 {

SingleSourceJob PrepareSingleSource(const MakeRule& rule, const char* extra_message) {
  SingleSourceJob job;
  const auto& sources = rule.GetSources();
  job.target_path = rule.GetTarget()->NewFullPath().value_or("");
  if (sources.size() > 1) {
    ReportError("%s", extra_message);
    return job;
  }
  if (sources.empty()) {
    ReportError("MAKE %s has no source file.", job.target_path.c_str());
    return job;
  }
  job.source = sources.front().get();
  job.source_path = job.source->NewFullPath().value_or("");
  if (!FileIsPresent(job.source_path)) {
    ReportError("Could not find dependency file %s.", job.source_path.c_str());
    return job;
  }
  RequireReadable(job.source_path);
  job.next = IsUpToDate(job.target_path, job.source_path) ? SingleSourceJob::Next::kDone
                                                          : SingleSourceJob::Next::kMake;
  return job;
}

bool IsUpToDate(const std::string& target, const std::string& source) {
  return FileIsPresent(target) && CompareFileTimes(target, source) != -1;
}

void RecordMade(VcdProject& project, MakeRule& rule, const std::string& target) {
  rule.MarkMade();
  project.made_files.push_back(std::make_unique<MadeFile>(target));
}

}  // namespace vcd2
