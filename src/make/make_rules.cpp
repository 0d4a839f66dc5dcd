#include "make/make_rules.h"

#include <cerrno>
#include <cstring>

#include "base/error_reporter.h"
#include "base/made_record.h"
#include "make/file_tests.h"
#include "make/pending_file.h"
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
  if (!CheckSourcePresent(job.source_path)) return job;
  RequireReadable(job.source_path);
  job.next = IsUpToDate(job.target_path, job.source_path) ? SingleSourceJob::Next::kDone
                                                          : SingleSourceJob::Next::kMake;
  return job;
}

Status CheckSourcePresent(const std::string& path) {
  if (FileIsPresent(path)) return true;
  if (const char* kind = NonFileKind(path)) {
    ReportError("Dependency file %s is %s, not a file MAKE can read.", path.c_str(), kind);
  } else {
    ReportError("Could not find dependency file %s.", path.c_str());
  }
  return false;
}

bool IsUpToDate(const std::string& target, const std::string& source) {
  return FileIsPresent(target) && !made_record::Exists(target) &&
         CompareFileTimes(target, source) != -1;
}

MakingMark::MakingMark(std::string target) : target_(std::move(target)) {
  made_record::MarkMaking(target_);
}

MakingMark::~MakingMark() {
  if (!handed_over_) made_record::Remove(target_);
}

Status CheckTargetWritable(const std::string& target) {
  if (const char* kind = NonFileKind(target)) {
    ReportError("Could not create %s (it is %s).", target.c_str(), kind);
    return false;
  }
  const PendingFile probe(target);
  if (!probe.Created()) {
    ReportError("Could not create %s (%s).", target.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

void RecordMade(VcdProject& project, MakeRule& rule, const std::string& target, MakingMark& mark) {
  mark.HandOver();
  rule.MarkMade();
  project.made_files.push_back(std::make_unique<MadeFile>(target));
}

}  // namespace vcd2
