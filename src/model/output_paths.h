#pragma once

#include <string>
#include <vector>

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// A file the build reads or writes, and the use that names it in messages.
struct FileUse {
  std::string path;
  std::string use;  // e.g. "OUTPUT 2", "the source of MPGTRACK T1"
};

// A script without OUTPUT lines writes only the whole-disc image, when the
// host asks for one (disc_image, the path without .bin): each image then gets
// an output name beside it that is staged and never named. Without either
// the build would write nothing, so it is refused.
Status PlanUnnamedOutputs(VcdProject& project, const char* disc_image);

// The image files the OUTPUT names give, as outputs; not those never named.
std::vector<FileUse> ImageOutputs(const VcdProject& project);

// Refuses outputs that name each other, a file the build reads (the script,
// every source, the sources and targets of MAKE) or an existing file that is
// no regular file, before anything is opened for writing. Two names are the same file when they
// have the same device and inode, or, where a file does not exist yet, the same normalised absolute
// path.
Status CheckOutputPaths(const VcdProject& project, const std::vector<FileUse>& outputs);

// Refuses a MAKE target that would replace a file the build reads as it was
// before any rule ran: the script, a source of its own rule, of a rule that
// runs before it or of any STILL or MPA rule (pictures and sounds are never
// made), the target of another rule, a DATRACK or volume file source, or,
// for a STILL or MPA target (no system stream), an MPGTRACK or SEGMENT
// source. Compared as CheckOutputPaths compares.
Status CheckMakeTargets(const VcdProject& project);

}  // namespace vcd2
