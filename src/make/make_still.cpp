#include <optional>

#include "base/error_reporter.h"
#include "base/progress.h"
#include "make/file_tests.h"
#include "make/make_codecs.h"
#include "make/make_rules.h"
#include "make/picture_coder.h"

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
  const FileRef* source = SingleSource(rule, "More than one dependency for MAKE STILL.");
  if (source == nullptr) return false;
  const std::string source_path = source->NewFullPath().value_or("");
  const std::string target_path = rule.GetTarget()->NewFullPath().value_or("");
  if (!FileIsPresent(source_path)) {
    ReportError("Could not find dependency file %s.", source_path.c_str());
    return false;
  }
  if (IsUpToDate(target_path, source_path)) return true;
  const auto mode = StillMode(rule.GetTarget()->GetFileType(), rule.low_resolution);
  if (!mode) return false;  // the parser gives every still target one of the four types
  const MakeCodecs* codecs = LoadMakeCodecs();
  if (codecs == nullptr) return false;
  if (codecs->encode_still(source_path, target_path, *mode, AbortFlag()) != 0) {
    if (!AbortRequested()) ReportError("Could not encode MPEG STILL from %s.", source_path.c_str());
    return false;
  }
  RecordMade(project, rule, target_path);
  return true;
}

}  // namespace vcd2
