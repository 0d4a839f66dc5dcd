#include "make/perform_makes.h"

#include <filesystem>

#include "base/error_reporter.h"
#include "base/progress.h"

namespace vcd2 {
namespace {

// Present means: exists and is not empty.
bool FileIsPresent(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return !error && size != 0;
}

}  // namespace

// The encoders are not part of this build yet: a rule whose target is present
// is taken as made; any other rule fails the phase with its target named.
Status PerformMakes(VcdProject& project) {
  if (project.makes.empty()) return true;
  SetProgressRange(0, static_cast<int32_t>(10 * project.makes.size()));
  SetProgressStep(10);
  for (const auto& rule : project.makes) {
    if (AbortRequested()) return false;
    StepProgress();
    const auto target = rule->GetTarget()->NewFullPath().value_or("");
    if (!FileIsPresent(target)) {
      ReportError("Could not make %s: this build of vcd2 cannot run MAKE rules.", target.c_str());
      return false;
    }
  }
  SetProgressPos(0);
  return true;
}

}  // namespace vcd2
