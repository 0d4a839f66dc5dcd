#pragma once

#include <string>
#include <vector>

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// What a check learns of the MAKE rules without running them.
struct MakeCheck {
  std::vector<std::string> would_run;  // "MAKE MPA target" for each rule whose target is due
  std::vector<std::string> unchecked;  // sources that an earlier rule of the build would make
};

// MAKE's own source tests, without encoding: for every rule that would run,
// each source is present and readable, each sound file's header and each
// picture decode as the encoders read them, and each MPEG still and audio
// source of a MUX opens as the multiplexer opens it. The first problem is
// reported as the build reports it (a source that cannot be read is thrown
// as a file error) and gives false.
Status CheckMakes(const VcdProject& project, MakeCheck& check);

}  // namespace vcd2
