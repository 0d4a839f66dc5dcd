#include "image/build_image.h"

#include "base/progress.h"
#include "image/append_segments.h"
#include "image/audio_tracks.h"
#include "image/control_files.h"
#include "image/enter_references.h"
#include "image/iso/iso_volume.h"
#include "image/locate_entries.h"
#include "image/mpeg_tracks.h"
#include "image/psd.h"

namespace vcd2 {
namespace {

Status NoWork(VcdProject&) {
  return true;
}

struct ImageStep {
  const char* status;
  bool only_with_psd;
  Status (*run)(VcdProject&);
};

// The steps in their order. Track lengths and the PSD plan come before the
// volume, whose directory records need them; segments are placed after the
// volume, tracks after the segments, and the control files last.
constexpr ImageStep kSteps[] = {
    {"Building Segments...", false, NoWork},
    {"Building MPEG tracks...", false, BuildMpegTracks},
    {"Building Audio tracks...", false, BuildAudioTracks},
    {"Building PSD...", true, BuildPsd},
    {"Building LOT...", true, BuildLot},
    {"Building ISO 9660 image...", false, BuildIsoVolume},
    {"Appending segments...", false, AppendSegments},
    {"Entering references...", false, EnterReferences},
    {"Inserting PSD...", true, InsertPsd},
    {"Inserting LOT...", true, InsertLot},
    {"creating entries list...", false, LocateEntries},
    {"Creating ENTRIES.VCD...", false, WriteEntriesFile},
    {"Creating INFO.VCD...", false, WriteInfoFile},
};

}  // namespace

Status BuildImage(VcdProject& project) {
  if (project.output_names.empty()) return true;
  for (const ImageStep& step : kSteps) {
    if (step.only_with_psd && project.has_psd == 0) continue;
    ShowStatus(step.status);
    if (!step.run(project) || AbortRequested()) return false;
  }
  ShowStatus("Ready...");
  return true;
}

}  // namespace vcd2
