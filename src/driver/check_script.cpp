#include "driver/check_script.h"

#include <string>

#include "base/progress.h"
#include "driver/host_tables.h"
#include "make/clip/make_mpeg.h"
#include "make/file_tests.h"
#include "make/make_rules.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

constexpr const char* kKindNames[] = {"STILL", "MUX", "MPA", "MPEG"};

std::string PathOf(const FileRef& file) {
  return file.NewFullPath().value_or("");
}

// The MAKE rules that would run: their target is missing or older than a
// source.
std::string PendingRules(const VcdProject& project) {
  std::string listing;
  for (const auto& rule : project.makes) {
    const std::string target = PathOf(*rule->GetTarget());
    bool due = !FileIsPresent(target);  // as MAKE decides: an empty target is missing
    for (const auto& source : rule->GetSources()) due |= !IsUpToDate(target, PathOf(*source));
    if (rule->Kind() == MakeKind::kMpeg) due = !IsCurrent(static_cast<const MpegMakeRule&>(*rule));
    if (due) {
      listing += std::string("  MAKE ") + kKindNames[static_cast<size_t>(rule->Kind())] + " " +
                 target + "\n";
    }
  }
  return listing;
}

}  // namespace

bool StartCheck(VcdProject& project) {
  ShowStatus("Checking sources...");
  const std::string pending = PendingRules(project);
  if (pending.empty()) {
    project.outputs.WriteNothing();
    return true;
  }
  const std::string text = "MAKE rules that would run:\n" + pending +
                           "The images can be measured once these have run.\n";
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  if (host != nullptr && host->show_summary != nullptr) host->show_summary(text.c_str());
  return false;
}

}  // namespace vcd2
