#pragma once

#include <string>

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// Writes the whole disc as NAME.bin in the disc's address plan, with NAME.cue
// and a cdrdao NAME.toc: the data track without its pregap, each MPEG track
// image behind the two sectors before its pregap, every sector header
// rewritten to its disc address. CD-DA tracks read their source files. The
// three files are staged with the images.
Status ExportDisc(VcdProject& project, const std::string& name);

// The files ExportDisc writes for name.
enum class DiscFile { kImage, kCueSheet, kToc };
std::string DiscFilePath(const std::string& name, DiscFile file);

}  // namespace vcd2
