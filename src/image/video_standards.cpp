#include "image/video_standards.h"

#include <string>

#include "base/error_reporter.h"

namespace vcd2 {

void WarnMixedStandards(const VcdProject& project) {
  constexpr uint32_t kPal = 2;
  std::string pal;
  std::string ntsc;
  for (const auto& track : project.mpeg_tracks) {
    std::string& names = track->video_standard == kPal ? pal : ntsc;
    names += (names.empty() ? "" : ", ") + track->label;
  }
  if (pal.empty() || ntsc.empty()) return;
  ReportWarning(
      "The disc mixes PAL tracks (%s) and NTSC tracks (%s); some players switch badly between "
      "them or not at all.",
      pal.c_str(), ntsc.c_str());
}

}  // namespace vcd2
