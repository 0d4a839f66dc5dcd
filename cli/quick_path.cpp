#include "quick_path.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "vcd2/vcd2.h"

namespace {

// The words that begin a statement, and the comment words.
constexpr const char* kStatementWords[] = {
    "!",         "#",         ";",        "REM",      "VERSION",   "ALBUM",      "VOLUME",
    "ANZVOL",    "OUTPUT",    "ADDENTRY", "APP",      "FILE",      "RTF",        "IFFDYUV",
    "DIR",       "COPYRIGHT", "ABSTRACT", "VOLSET",   "BIBLIO",    "LOGFILE",    "ENDFILE",
    "MOUNT",     "MPGTRACK",  "DATRACK",  "DEFENTRY", "MAKE",      "SEGMENT",    "PLAYLIST",
    "SELECTION", "TRACK",     "ENTRIES",  "GENRTF",   "AUTOPAUSE", "EDITENTRIES"};

bool IsStatementWord(const std::string& word) {
  for (const char* statement : kStatementWords) {
    if (word == statement) return true;
  }
  // A comment mark needs no blank behind it.
  return !word.empty() && (word[0] == '!' || word[0] == '#' || word[0] == ';');
}

// The first word of a file, upper-cased as the script reader reads it;
// empty when the file cannot be read. A pipe or device is not read here: it
// can be read once only, by the build.
std::string FirstWord(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return "";
  std::ifstream file(path, std::ios::binary);
  char c = 0;
  while (file.get(c) && static_cast<unsigned char>(c) <= ' ') {
  }
  std::string word;
  for (; file && static_cast<unsigned char>(c) > ' ' && word.size() < 16; file.get(c)) {
    word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return word;
}

// What --inspect says of one clip: compliant or not, the system of its
// picture, or the message that says it is no video at all.
struct Judgement {
  int32_t result = VCD2_RESULT_FAILED;
  std::string report;
  std::string message;
};

Judgement* judging = nullptr;

void KeepReport(const char* text) {
  judging->report += text;
}

void KeepMessage(const char* text) {
  if (judging->message.empty()) judging->message = text;
}

void IgnoreText(const char* /*text*/) {}

Judgement Inspect(const std::string& path) {
  static BuilderCallbacks callbacks{};
  callbacks.mode = VCD2_MODE_INSPECT;
  callbacks.show_summary = KeepReport;
  callbacks.show_message = KeepMessage;
  callbacks.show_warning = IgnoreText;
  VCD2SetCallbacks(&callbacks);
  Judgement judgement;
  judging = &judgement;
  judgement.result = VCD2DiscBuilder(nullptr, path.c_str(), nullptr);
  judging = nullptr;
  VCD2SetCallbacks(nullptr);
  return judgement;
}

// The picture row of a report ends in what the file has, e.g.
// "352x288@25.000": 240 or 480 lines are NTSC.
bool IsNtsc(const std::string& report) {
  const size_t row = report.find("\n  picture ");
  if (row == std::string::npos) return false;
  const std::string line = report.substr(row + 1, report.find('\n', row + 1) - row - 1);
  const std::string has = line.substr(line.rfind(' ') + 1);
  return has.find("x240@") != std::string::npos || has.find("x480@") != std::string::npos;
}

void Say(const std::string& text) {
  std::fprintf(stderr, "vcd2build: %s\n", text.c_str());
}

// The library ends a message's lines in CR LF.
void ShowMessage(const std::string& text) {
  std::string line;
  for (const char c : text) {
    if (c != '\r') line += c;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

QuickPath::~QuickPath() {
  if (fd_ >= 0) close(fd_);
  if (!made_folder_.empty()) rmdir(made_folder_.c_str());  // only when empty
}

bool QuickPath::TakesClips(const Options& options) {
  if (options.files.size() != 1) return true;
  const std::string word = FirstWord(options.script);
  if (!options.title.empty() || options.menu || options.ntsc || options.print_script) {
    return !IsStatementWord(word);
  }
  // A file that cannot be read, a pipe or an empty file stays a script.
  return !word.empty() && !IsStatementWord(word);
}

// Every clip is read before anything is written: a missing file or one that
// is no video ends the program with one message.
int QuickPath::Plan(const Options& options, QuickDisc& disc) const {
  disc.name = options.disc;
  disc.title = options.title;
  disc.menu = options.menu;
  disc.ntsc = options.ntsc;
  const std::string* first_compliant = nullptr;
  const std::string* pal = nullptr;
  const std::string* ntsc = nullptr;
  for (const std::string& path : options.files) {
    if (!NamesInScript(path)) {
      Say("a script cannot name '" + path + "': rename it without the double quote");
      return VCD2_RESULT_FAILED;
    }
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
      std::fclose(file);
    } else {
      Say("cannot open '" + path + "': " + std::strerror(errno));
      return VCD2_RESULT_FILE_ERROR;
    }
    const Judgement judgement = Inspect(path);
    if (judgement.result != VCD2_RESULT_OK && judgement.report.empty()) {
      ShowMessage(judgement.message.empty() ? path + " is no video." : judgement.message);
      return judgement.result;
    }
    const bool compliant = judgement.result == VCD2_RESULT_OK;
    disc.clips.push_back({path, compliant});
    if (!compliant) continue;
    if (first_compliant == nullptr) first_compliant = &path;
    (IsNtsc(judgement.report) ? ntsc : pal) = &path;
  }
  if (!options.ntsc && first_compliant != nullptr) disc.ntsc = first_compliant == ntsc;
  // Made tracks and the menu are of the disc's system.
  const std::string system = disc.ntsc ? "NTSC" : "PAL";
  const std::string* other = disc.ntsc ? pal : ntsc;
  const std::string* same = disc.ntsc ? ntsc : pal;
  if (other != nullptr && (same != nullptr || MakesFiles(disc)) && !options.quiet) {
    std::fprintf(stderr,
                 "warning: %s is %s, the other tracks are %s; a disc that mixes PAL and NTSC "
                 "may not play on every player.\n",
                 other->c_str(), disc.ntsc ? "PAL" : "NTSC", system.c_str());
  }
  return -1;
}

bool QuickPath::Stage(const std::string& script) {
  fd_ = memfd_create("vcd2build-script", MFD_CLOEXEC);
  if (fd_ < 0 || write(fd_, script.data(), script.size()) != static_cast<ssize_t>(script.size())) {
    Say(std::string("cannot write the script: ") + std::strerror(errno));
    return false;
  }
  script_path_ = "/proc/self/fd/" + std::to_string(fd_);
  return true;
}

int QuickPath::Prepare(const Options& options) {
  if (options.disc.empty()) {
    Say("video files need --disc NAME (or give one script); try --help");
    return 2;
  }
  if (!NamesInScript(options.disc)) {
    Say("a script cannot name '" + options.disc + "': choose a NAME without a double quote");
    return VCD2_RESULT_FAILED;
  }
  QuickDisc disc;
  if (const int status = Plan(options, disc); status >= 0) return status;
  const std::string script = WriteQuickScript(disc);
  if (options.print_script) {
    std::fputs(script.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : VCD2_RESULT_FILE_ERROR;
  }
  if (!Stage(script)) return VCD2_RESULT_FILE_ERROR;
  if (MakesFiles(disc)) {
    const std::string folder = MadeFolder(disc.name);
    if (mkdir(folder.c_str(), 0777) == 0) {
      made_folder_ = folder;
    } else if (errno != EEXIST) {
      Say("cannot create the folder '" + folder + "': " + std::strerror(errno));
      return VCD2_RESULT_FILE_ERROR;
    }
  }
  return -1;
}
