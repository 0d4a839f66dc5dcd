#include "support/script_runner.h"

#include <cstdio>

#include "base/error_reporter.h"
#include "model/check_labels.h"
#include "model/sort_items.h"
#include "script/script_parser.h"
#include "support/message_capture.h"

namespace vcd2::test {
namespace {

ScriptRun Run(const std::string& script, bool sort_and_check) {
  ScriptRun run;
  run.project = std::make_unique<VcdProject>();
  MessageCapture capture;
  std::FILE* file = std::tmpfile();
  std::fwrite(script.data(), 1, script.size(), file);
  std::rewind(file);
  run.project->script_path = kScriptName;
  run.project->script_file = file;
  run.project->parse_enabled = 1;
  run.ok = ParseScript(*run.project);
  std::fclose(file);
  run.project->script_file = nullptr;
  Reporter().SetScriptName("");
  if (run.ok && sort_and_check) {
    run.ok = SortItems(*run.project) && CheckLabels(*run.project);
  }
  run.messages = capture.Messages();
  run.warnings = capture.Warnings();
  return run;
}

}  // namespace

ScriptRun Parse(const std::string& script) {
  return Run(script, false);
}

ScriptRun ParseSortCheck(const std::string& script) {
  return Run(script, true);
}

std::string Script20(const std::string& body) {
  return "VERSION 2.0\n" + body + "\nENDFILE\n";
}

std::string AtLine(unsigned line, const std::string& text) {
  return std::string(kScriptName) + " Line " + std::to_string(line) + ":\r\n" + text;
}

}  // namespace vcd2::test
