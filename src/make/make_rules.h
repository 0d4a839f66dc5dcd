#pragma once

#include <string>

#include "base/status.h"
#include "model/make_rule.h"
#include "model/vcd_project.h"

namespace vcd2 {

// One rule of the make phase each; a target that is up to date is left alone.
// A rule that was made is marked and its target recorded as a made file.
Status MakeStill(VcdProject& project, StillMakeRule& rule);
Status MakeAudio(VcdProject& project, AudioMakeRule& rule);
Status MakeMux(VcdProject& project, MuxMakeRule& rule);

// What an MPA or STILL rule, which takes exactly one source, has to do.
struct SingleSourceJob {
  enum class Next { kFail, kDone, kMake } next = Next::kFail;
  const FileRef* source = nullptr;
  std::string source_path;
  std::string target_path;
};

// Takes the rule's one source: kFail after reporting a missing, extra or
// absent source, kDone when the target is up to date, kMake otherwise.
SingleSourceJob PrepareSingleSource(const MakeRule& rule, const char* extra_message);

// True when target is present and not older than source.
bool IsUpToDate(const std::string& target, const std::string& source);

// Marks the rule made and records its target so that the build deletes it.
void RecordMade(VcdProject& project, MakeRule& rule, const std::string& target);

}  // namespace vcd2
