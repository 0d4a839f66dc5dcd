#pragma once

#include <string>

#include "options.h"
#include "quick_script.h"

// The quick path: `vcd2build --disc NAME FILE...` with video files instead of
// a script. It writes the script the files give and hands it to the normal
// build as an unnamed file, so the build's messages and results are a
// script's; --print-script prints that script instead.
class QuickPath {
 public:
  QuickPath() = default;
  ~QuickPath();
  QuickPath(const QuickPath&) = delete;
  QuickPath& operator=(const QuickPath&) = delete;

  // True when the operands are clips: more than one, or one that does not
  // read as a script (text whose first word is a statement or a comment).
  static bool TakesClips(const Options& options);

  // Inspects the clips and writes the script. Returns the exit status when
  // the program ends here (a refusal, or --print-script), -1 when the build
  // is to run the script at ScriptPath().
  int Prepare(const Options& options);
  const std::string& ScriptPath() const { return script_path_; }

 private:
  int Plan(const Options& options, QuickDisc& disc) const;
  bool Stage(const std::string& script);

  int fd_ = -1;
  std::string script_path_;
  std::string made_folder_;  // created here; removed again when left empty
};
