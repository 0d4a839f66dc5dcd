#include <optional>

#include "base/error_reporter.h"
#include "base/progress.h"
#include "make/make_codecs.h"
#include "make/make_rules.h"
#include "make/picture_coder.h"
#include "make/picture_header.h"

namespace vcd2 {
namespace {

std::optional<uint32_t> StillMode(FileType target_type, uint8_t companion) {
  const uint32_t companion_bit = companion != 0 ? kStillCompanion : 0;
  switch (target_type) {
    case FileType::kNtscLowStill:
      return companion_bit;
    case FileType::kPalLowStill:
      return kStillPal | companion_bit;
    case FileType::kNtscHighStill:
      return kStillHighResolution;
    case FileType::kPalHighStill:
      return kStillPal | kStillHighResolution;
    default:
      return std::nullopt;
  }
}

}  // namespace

Status MakeStill(VcdProject& project, StillMakeRule& rule) {
  const SingleSourceJob job = PrepareSingleSource(rule, "More than one dependency for MAKE STILL.");
  if (job.next != SingleSourceJob::Next::kMake) return job.next == SingleSourceJob::Next::kDone;
  const auto mode = StillMode(rule.GetTarget()->GetFileType(), rule.low_resolution);
  if (!mode) return false;  // the parser gives every still target one of the four types
  if (!CheckTargetWritable(job.target_path)) return false;
  // The picture's header is checked here so that a refusal can say why.
  std::string why;
  if (!AcceptPicture(job.source_path, why)) {
    ReportError("Could not encode MPEG STILL from %s.\r\n%s: %s.", job.source_path.c_str(),
                job.source_path.c_str(), why.c_str());
    return false;
  }
  const MakeCodecs* codecs = LoadMakeCodecs();
  if (codecs == nullptr) return false;
  MakingMark mark(job.target_path);
  if (codecs->encode_still(job.source_path, job.target_path, *mode, AbortFlag()) != 0) {
    if (!AbortRequested()) {
      ReportError("Could not encode MPEG STILL from %s.", job.source_path.c_str());
    }
    return false;
  }
  RecordMade(project, rule, job.target_path, mark);
  return true;
}

}  // namespace vcd2
