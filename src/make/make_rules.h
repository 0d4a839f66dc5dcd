#pragma once

#include "base/status.h"
#include "model/make_rule.h"
#include "model/vcd_project.h"

namespace vcd2 {

// One rule of the make phase each; a target that is up to date is left alone.
// A rule that was made is marked and its target recorded as a made file.
Status MakeStill(VcdProject& project, StillMakeRule& rule);
Status MakeAudio(VcdProject& project, AudioMakeRule& rule);
Status MakeMux(VcdProject& project, MuxMakeRule& rule);

// The source of an MPA or STILL rule, which takes exactly one; null after
// reporting a missing or extra source.
const FileRef* SingleSource(const MakeRule& rule, const char* extra_message);

// True when target is present and not older than source.
bool IsUpToDate(const std::string& target, const std::string& source);

// Marks the rule made and records its target so that the build deletes it.
void RecordMade(VcdProject& project, MakeRule& rule, const std::string& target);

}  // namespace vcd2
