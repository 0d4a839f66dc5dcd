#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/vcd_project.h"

namespace vcd2::test {

inline constexpr char kScriptName[] = "test.vcd";

// The outcome of running a script held in memory through the early phases.
struct ScriptRun {
  bool ok = false;
  std::vector<std::string> messages;
  std::vector<std::string> warnings;
  std::unique_ptr<VcdProject> project;
};

// Parses the script.
ScriptRun Parse(const std::string& script);
// Parses, sorts and checks labels; ok only when all three succeed.
ScriptRun ParseSortCheck(const std::string& script);
// "VERSION 2.0 " + body + " ENDFILE"
std::string Script20(const std::string& body);
// A message as the reporter shows it while line `line` of the script is read.
std::string AtLine(unsigned line, const std::string& text);

}  // namespace vcd2::test
