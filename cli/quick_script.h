#pragma once

#include <string>
#include <vector>

// The script the quick path builds: one MPEG track per clip, in order; a clip
// that is no Video CD MPEG is converted by MAKE MPEG into NAME.vcd2/. With a
// menu, a START selection shows a still drawn by MAKE MENU and plays each
// clip through a play list of its own.
struct QuickDisc {
  struct Clip {
    std::string path;
    bool compliant = false;  // used as it is
  };
  std::string name;   // --disc NAME
  std::string title;  // --title, or empty for NAME
  bool menu = false;
  bool ntsc = false;  // the system of the tracks MAKE MPEG makes
  std::vector<Clip> clips;
};

// The folder beside NAME.bin that keeps what MAKE makes: NAME.vcd2.
std::string MadeFolder(const std::string& name);

// True when the script makes anything, so that MadeFolder must exist.
bool MakesFiles(const QuickDisc& disc);

// True when a path can be written in a script: it holds no double quote.
bool NamesInScript(const std::string& path);

// The script's text.
std::string WriteQuickScript(const QuickDisc& disc);

// A text as the script reader reads it back unchanged: quoted, or coded in
// hex (U"0041...") when it ends in U, which would start a hex string. No
// text can hold a double quote (NamesInScript).
std::string QuoteText(const std::string& text);

// The album: the title, else NAME without its folder, cut to 16 characters,
// in the characters a volume identifier may hold (upper-case letters).
std::string AlbumText(const QuickDisc& disc);
