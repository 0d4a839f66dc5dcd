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

// Reports a source that is missing, empty or no regular file.
Status CheckSourcePresent(const std::string& path);

// True when target is present, not older than source, and not left by a
// build that made it and ended before deleting it.
bool IsUpToDate(const std::string& target, const std::string& source);

// Marks a target as being made while it lives (a "making" record, so that a
// target left by a build that is killed is made again), and removes the mark
// unless the target was recorded as made, whose made file removes it.
class MakingMark {
 public:
  explicit MakingMark(std::string target);
  MakingMark(const MakingMark&) = delete;
  MakingMark& operator=(const MakingMark&) = delete;
  ~MakingMark();
  void HandOver() { handed_over_ = true; }

 private:
  std::string target_;
  bool handed_over_ = false;
};

// Refuses a target that is no regular file or cannot be created in its
// folder, naming it and the system's reason.
Status CheckTargetWritable(const std::string& target);

// Marks the rule made and records its target so that the build deletes it.
void RecordMade(VcdProject& project, MakeRule& rule, const std::string& target, MakingMark& mark);

}  // namespace vcd2
