#include "make/make_rules.h"

#include "base/error_reporter.h"
#include "make/file_tests.h"

namespace vcd2 {

const FileRef* SingleSource(const MakeRule& rule, const char* extra_message) {
  const auto& sources = rule.GetSources();
  if (sources.size() > 1) {
    ReportError("%s", extra_message);
    return nullptr;
  }
  if (sources.empty()) {
    const auto target = rule.GetTarget()->NewFullPath().value_or("");
    ReportError("MAKE %s has no source file.", target.c_str());
    return nullptr;
  }
  return sources.front().get();
}

bool IsUpToDate(const std::string& target, const std::string& source) {
  return FileIsPresent(target) && CompareFileTimes(target, source) != -1;
}

void RecordMade(VcdProject& project, MakeRule& rule, const std::string& target) {
  rule.MarkMade();
  project.made_files.push_back(std::make_unique<MadeFile>(target));
}

}  // namespace vcd2
