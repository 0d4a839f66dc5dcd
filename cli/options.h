#pragma once

#include <string>
#include <vector>

// What the command line asks for.
struct Options {
  enum class Action { kBuild, kHelp, kVersion, kUsageError };
  Action action = Action::kBuild;
  bool quiet = false;   // no progress, no summary
  bool summary = true;  // print the summary of a successful build
  std::string script;
  std::string disc;                // --disc NAME: also write NAME.bin, NAME.cue, NAME.toc
  std::string graph;               // --graph FILE: draw the playback control instead of building
  std::string preview;             // --preview DIR: draw the MAKE MENU pictures instead of building
  std::string error;               // for kUsageError
  bool check = false;              // --check: check the script, write nothing
  bool inspect = false;            // --inspect: report on the MPEG files instead
  bool keep_made = false;          // --keep-made: keep the files MAKE made
  bool verify = false;             // --verify: read a disc back instead
  std::vector<std::string> files;  // --inspect: the MPEG files; else every operand
  // The quick path, clips instead of a script:
  std::string title;          // --title TEXT: the album and the menu's title
  bool menu = false;          // --menu: a START menu over the clips
  bool ntsc = false;          // --ntsc: make NTSC tracks
  bool print_script = false;  // --print-script: print the script, build nothing
};

Options ParseOptions(int argc, char** argv);
const char* UsageText();
