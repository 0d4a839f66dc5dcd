#include "base/error_reporter.h"
#include "script/script_parser.h"

namespace vcd2 {

// MOUNT INTERN label directory | MOUNT EXTERN label directory ON location
Status ScriptParser::ParseMount() {
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered while expecting INTERN or EXTERN");
  auto mount = std::make_unique<MountPoint>();
  switch (reader_.ClassifyWord(KeywordClass::kMountMode)) {
    case kIntern:
      mount->mode = MountMode::kIntern;
      break;
    case kExtern:
      mount->mode = MountMode::kExtern;
      break;
    default:
      ReportError("Expected one of INTERN or EXTERN.");
      return false;
  }
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered expecting MOUNT label");
  mount->label = reader_.Word();
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered expecting directory.");
  mount->directory = reader_.Word();
  if (mount->mode == MountMode::kExtern) {
    if (!reader_.ReadWord()) return ReportEnd("EOF encountered while expecting keyword ON.");
    if (reader_.ClassifyWord(KeywordClass::kOn) != kOn) {
      ReportError("Encountered %s, expected keyowrd ON.", Word());
      return false;
    }
    if (!reader_.ReadWord()) return ReportEnd("EOF encountered while expecting MOUNT location.");
    mount->location = reader_.Word();
  }
  project_.mounts.push_back(std::move(mount));
  return true;
}

}  // namespace vcd2
