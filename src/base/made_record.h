#pragma once

#include <optional>
#include <string>

namespace vcd2 {

// A small file beside a MAKE target that says the build made it: ".NAME.vcd2made"
// in the target's folder (".vcd2made-" and a hash of NAME when that name would
// pass the system's limit). Its first line is "vcd2 made"; the second is
// either "making", written before the target is made and kept while the
// target lasts only for this build, or "kept DEVICE INODE SIZE SECONDS
// NANOSECONDS", the target's identity when it was complete, for a target
// that outlives the build; the rest is a stamp of what the target was made
// from, chosen by the rule.
//
// A target with a "making" record was left by a build that ended before it
// could delete it, so it is never taken as up to date. A "kept" record
// vouches for the target only while the target is the file it describes.
namespace made_record {

std::string PathFor(const std::string& target);

// Writes the "making" record; false when it cannot be written.
bool MarkMaking(const std::string& target);
// Writes the "kept" record for the complete target and its stamp.
bool MarkKept(const std::string& target, const std::string& stamp);
// True when the target has a record of any kind.
bool Exists(const std::string& target);
// The stamp of a "kept" record that still describes the target; none when
// there is no such record or the target changed since.
std::optional<std::string> KeptStamp(const std::string& target);
// Removes the record; a missing record is no error.
void Remove(const std::string& target);

}  // namespace made_record
}  // namespace vcd2
