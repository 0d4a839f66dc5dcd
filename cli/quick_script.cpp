#include "quick_script.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>

namespace {

constexpr size_t kAlbumSize = 16;

// The album as the volume identifier takes it, in ISO 9660 d-characters
// (and blanks), cut to 16: letters in upper case, any other character '_'.
std::string AlbumOf(const std::string& text) {
  std::string album;
  for (size_t i = 0; i < text.size() && album.size() < kAlbumSize; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) == 0x80) continue;  // the rest of a UTF-8 character
    album += std::isalnum(c) != 0 && c < 0x80 ? static_cast<char>(std::toupper(c))
             : c == ' '                       ? ' '
                                              : '_';
  }
  return album;
}

std::string Stem(const std::string& path) {
  return std::filesystem::path(path).stem().string();
}

// The made track of each clip that needs one: NAME.vcd2/STEM.mpg, with the
// clip's number added when two clips share a stem.
std::vector<std::string> MadeTracks(const QuickDisc& disc) {
  std::vector<std::string> made;
  std::set<std::string> taken;
  for (size_t i = 0; i < disc.clips.size(); ++i) {
    if (disc.clips[i].compliant) {
      made.emplace_back();
      continue;
    }
    std::string file = Stem(disc.clips[i].path);
    if (file.empty() || !taken.insert(file).second) file += "-" + std::to_string(i + 1);
    taken.insert(file);
    made.push_back(MadeFolder(disc.name) + "/" + file + ".mpg");
  }
  return made;
}

// A name in a comment: a double quote there could start a hex string, and a
// line break would end the comment.
std::string Commented(const std::string& name) {
  for (const char c : name) {
    if (c == '"' || static_cast<unsigned char>(c) < 0x20) return "NAME.vcd2";
  }
  return name;
}

std::string Numbered(const char* prefix, size_t index) {
  return prefix + std::to_string(index + 1);
}

void AppendTracks(std::string& text, const QuickDisc& disc) {
  const std::vector<std::string> made = MadeTracks(disc);
  const char* system = disc.ntsc ? "NTSC" : "PAL";
  text +=
      "\nREM One MPEG track per clip. MAKE MPEG converts a clip that is no Video CD\n"
      "REM MPEG; what it makes is kept and reused while it is up to date.\n";
  for (size_t i = 0; i < disc.clips.size(); ++i) {
    std::string track = disc.clips[i].path;
    if (!disc.clips[i].compliant) {
      track = made[i];
      text += std::string("MAKE MPEG ") + system + " " + QuoteText(track) + " FROM VIDEO " +
              QuoteText(disc.clips[i].path) + " ENDMAKE\n";
    }
    text += "MPGTRACK " + Numbered("CLIP", i) + " " + std::to_string(i + 1) + " " +
            QuoteText(track) + "\n";
  }
}

void AppendMenu(std::string& text, const QuickDisc& disc) {
  const std::string folder = MadeFolder(disc.name) + "/";
  const std::string high = QuoteText(folder + "menu-high.mpv");
  const std::string low = QuoteText(folder + "menu-low.mpv");
  const std::string still = QuoteText(folder + "menu.mpg");
  text +=
      "\nREM The menu: a still without sound that MAKE MENU draws for the START\n"
      "REM selection, multiplexed into a segment.\n";
  text += std::string("MAKE MENU ") + (disc.ntsc ? "NTSCHIGH " : "PALHIGH ") + high + " " + low +
          " FROM SELECTION START";
  if (!disc.title.empty()) {
    std::string title = disc.title;  // a double quote would end the text
    std::replace(title.begin(), title.end(), '"', '\'');
    text += " TITLE " + QuoteText(title);
  }
  text += "\n  ITEMS";
  for (const QuickDisc::Clip& clip : disc.clips) text += " " + QuoteText(Stem(clip.path));
  text += " ENDITEMS\nENDMAKE\n";
  text += "MAKE MUX " + still + " FROM STILL " + low + " " + high + " ENDMAKE\n";
  text += "SEGMENT MENUSTILL 1 " + still + "\n";
  text +=
      "\nREM Key n plays clip n. RETURN goes back to the menu; NEXT and the end of a\n"
      "REM clip go on to the next clip, and after the last to the menu.\n"
      "SELECTION START\n  PLAY MENUSTILL\n  ITEMS";
  for (size_t i = 0; i < disc.clips.size(); ++i) text += " " + Numbered("SHOW", i);
  text += " ENDITEMS\n  WAIT INF\nENDSELECTION\n";
  for (size_t i = 0; i < disc.clips.size(); ++i) {
    const bool last = i + 1 == disc.clips.size();
    text += "\nPLAYLIST " + Numbered("SHOW", i) + "\n  PLAY " + Numbered("CLIP", i) +
            " ENDPLAY\n  PREVIOUS " + (i == 0 ? "START" : Numbered("SHOW", i - 1)) + "\n  NEXT " +
            (last ? "START" : Numbered("SHOW", i + 1)) + "\n  RETURN START\nENDPLAYLIST\n";
  }
}

}  // namespace

std::string MadeFolder(const std::string& name) {
  return name + ".vcd2";
}

bool MakesFiles(const QuickDisc& disc) {
  if (disc.menu) return true;
  for (const QuickDisc::Clip& clip : disc.clips) {
    if (!clip.compliant) return true;
  }
  return false;
}

bool NamesInScript(const std::string& path) {
  return path.find('"') == std::string::npos;
}

std::string QuoteText(const std::string& text) {
  if (text.empty() || text.back() != 'U') return "\"" + text + "\"";
  std::string coded = "U\"";
  for (const char c : text) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned char>(c));
    coded += digits;
  }
  return coded + "\"";
}

std::string AlbumText(const QuickDisc& disc) {
  const std::string album =
      disc.title.empty() ? std::filesystem::path(disc.name).filename().string() : disc.title;
  return AlbumOf(album);
}

std::string WriteQuickScript(const QuickDisc& disc) {
  std::string text = "REM A Video CD of " + std::to_string(disc.clips.size()) +
                     (disc.clips.size() == 1 ? " clip" : " clips") +
                     (disc.menu ? " with a menu" : ", played in order") +
                     ", written by vcd2build --print-script.\n"
                     "REM Build it with vcd2build --disc NAME SCRIPT: without an OUTPUT block\n"
                     "REM only NAME.bin, NAME.cue and NAME.toc are written.\n";
  if (MakesFiles(disc)) {
    text += "REM MAKE writes into the folder " + Commented(MadeFolder(disc.name)) +
            ", which must exist.\n";
  }
  text += "VERSION 2.0\nALBUM " + QuoteText(AlbumText(disc)) + "\nVOLUME 1\nANZVOL 1\n";
  AppendTracks(text, disc);
  if (disc.menu) AppendMenu(text, disc);
  return text + "ENDFILE\n";
}
