#include "make/perform_makes.h"

#include "base/error_reporter.h"
#include "base/progress.h"
#include "make/clip/make_mpeg.h"
#include "make/make_rules.h"
#include "make/menu/make_menu.h"

namespace vcd2 {
namespace {

constexpr int32_t kStepsPerRule = 10;

// MPEG rules first: the others may use what they make.
Status MakeClips(VcdProject& project) {
  for (const auto& rule : project.makes) {
    if (rule->Kind() != MakeKind::kMpeg) continue;
    if (AbortRequested()) return false;
    StepProgress();
    if (!MakeMpeg(project, static_cast<MpegMakeRule&>(*rule))) return false;
  }
  return true;
}

// STILL and MPA rules in script order; MUX rules wait for the second pass.
Status MakeEncodings(VcdProject& project) {
  for (const auto& rule : project.makes) {
    if (AbortRequested()) return false;
    if (rule->Kind() == MakeKind::kMux || rule->Kind() == MakeKind::kMpeg) continue;
    if (rule->Kind() == MakeKind::kMenu) continue;  // made by MakeMenus
    StepProgress();
    switch (rule->Kind()) {
      case MakeKind::kStill:
        if (!MakeStill(project, static_cast<StillMakeRule&>(*rule))) return false;
        break;
      case MakeKind::kAudio:
        if (!MakeAudio(project, static_cast<AudioMakeRule&>(*rule))) return false;
        break;
      default:
        ReportError("Undefined MAKE code.");
        return false;
    }
  }
  return true;
}

Status MakeMultiplexes(VcdProject& project) {
  for (const auto& rule : project.makes) {
    if (rule->Kind() != MakeKind::kMux) continue;
    if (AbortRequested()) return false;
    StepProgress();
    if (!MakeMux(project, static_cast<MuxMakeRule&>(*rule))) return false;
  }
  return true;
}

}  // namespace

Status PerformMakes(VcdProject& project) {
  if (project.makes.empty()) return true;
  SetProgressRange(0, static_cast<int32_t>(kStepsPerRule * project.makes.size()));
  SetProgressStep(kStepsPerRule);
  if (!MakeClips(project) || !MakeMenus(project) || !MakeEncodings(project) ||
      !MakeMultiplexes(project)) {
    return false;
  }
  SetProgressPos(0);
  return true;
}

}  // namespace vcd2
