#pragma once

#include <string>

#include "make/clip/clip_codecs.h"

namespace vcd2 {

// A MAKE MPEG target is kept after the build. Beside it, "<target>.make"
// holds the rule that made it, so that a later build reuses the target only
// while it was made the same way.
std::string RecordPath(const std::string& target);
// The rule as one line: norm, sources and cut.
std::string DescribeJob(const ClipJob& job);
bool RecordMatches(const std::string& target, const std::string& description);
// Writes the record; false when it cannot (the target is then made again).
bool WriteRecord(const std::string& target, const std::string& description);
void RemoveRecord(const std::string& target);

}  // namespace vcd2
