#include "verify/cue_sheet.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace vcd2 {
namespace {

constexpr size_t kMaxCueSize = size_t{1} << 20;

// One track of a FILE: its mode and its INDEX 00 and 01 in sectors from the
// start of the file (-1 when absent), and the PREGAP that is not in the file.
struct CueTrack {
  unsigned number = 0;
  bool audio = false;
  int32_t index0 = -1;
  int32_t index1 = -1;
  int32_t pregap = 0;
  unsigned line = 0;
};

struct CueFile {
  std::string path;
  bool binary = false;
  unsigned line = 0;
  std::vector<CueTrack> tracks;
};

// The words of a line; a quoted word may hold blanks.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  for (size_t i = 0; i < line.size();) {
    if (std::isspace(static_cast<unsigned char>(line[i]))) {
      ++i;
    } else if (line[i] == '"') {
      const size_t close = line.find('"', i + 1);
      const size_t end = close == std::string::npos ? line.size() : close;
      words.push_back(line.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      size_t end = i;
      while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
      words.push_back(line.substr(i, end - i));
      i = end;
    }
  }
  return words;
}

// "MM:SS:FF" in sectors; -1 when malformed.
int32_t Msf(const std::string& text) {
  unsigned m = 0, s = 0, f = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%u:%u:%u%c", &m, &s, &f, &tail) != 3 || s >= 60 || f >= 75 ||
      m > 99) {
    return -1;
  }
  return static_cast<int32_t>((m * 60 + s) * kSectorsPerSecond + f);
}

class CueReader {
 public:
  CueReader(const std::string& path, ProblemLog& log) : path_(path), log_(log) {}

  void Line(unsigned number, const std::string& line) {
    line_ = number;
    const std::vector<std::string> words = Words(line);
    if (words.empty()) return;
    const std::string& command = words[0];
    if (command == "FILE" && words.size() == 3) {
      files_.push_back({words[1], words[2] == "BINARY" || words[2] == "MOTOROLA", number, {}});
    } else if (command == "TRACK" && words.size() == 3) {
      Track(words[1], words[2]);
    } else if (command == "INDEX" && words.size() == 3) {
      Index(words[1], words[2]);
    } else if (command == "PREGAP" && words.size() == 2 && Current() != nullptr) {
      Current()->pregap = Msf(words[1]);
      if (Current()->pregap < 0) Syntax("PREGAP needs a time MM:SS:FF");
    } else if (!Ignored(command)) {
      Syntax(("\"" + line.substr(0, 60) + "\" is not understood").c_str());
    }
  }

  const std::vector<CueFile>& Files() const { return files_; }
  std::string Where(unsigned line) const { return path_ + " line " + std::to_string(line); }

 private:
  static bool Ignored(const std::string& command) {
    for (const char* known : {"REM", "CATALOG", "CDTEXTFILE", "FLAGS", "ISRC", "PERFORMER",
                              "POSTGAP", "SONGWRITER", "TITLE"}) {
      if (command == known) return true;
    }
    return false;
  }

  CueTrack* Current() {
    return files_.empty() || files_.back().tracks.empty() ? nullptr : &files_.back().tracks.back();
  }

  void Syntax(const char* what) { log_.Add(ProblemCode::kCueSyntax, Where(line_), "%s", what); }

  void Track(const std::string& number, const std::string& mode) {
    if (files_.empty()) return Syntax("TRACK before any FILE");
    CueTrack track;
    track.number = static_cast<unsigned>(std::atoi(number.c_str()));
    track.line = line_;
    track.audio = mode == "AUDIO";
    if (!track.audio && mode != "MODE2/2352") {
      log_.Add(ProblemCode::kCueMode, Where(line_),
               "track %u is %s; a Video CD has MODE2/2352 and AUDIO tracks", track.number,
               mode.c_str());
    }
    files_.back().tracks.push_back(track);
  }

  void Index(const std::string& number, const std::string& time) {
    CueTrack* track = Current();
    const int32_t at = Msf(time);
    if (track == nullptr) return Syntax("INDEX before any TRACK");
    if (at < 0) return Syntax("INDEX needs a time MM:SS:FF");
    if (number == "00" || number == "0") {
      track->index0 = at;
    } else if (number == "01" || number == "1") {
      track->index1 = at;
    }
  }

  std::string path_;
  ProblemLog& log_;
  std::vector<CueFile> files_;
  unsigned line_ = 0;
};

// Where a file named in the cue sheet lies: beside the cue sheet unless the
// name is absolute.
std::string Beside(const std::string& cue, const std::string& name) {
  const std::filesystem::path file(name);
  if (file.is_absolute()) return name;
  return (std::filesystem::path(cue).parent_path() / file).string();
}

}  // namespace

bool ReadCueText(const std::string& path, const std::string& text, DiscSource& disc,
                 ProblemLog& log) {
  disc.name = path;
  CueReader reader(path, log);
  std::istringstream lines(text);
  unsigned number = 0;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    reader.Line(++number, line);
  }
  bool readable = true;
  int32_t disc_position = 0;  // disc address of the current file's first sector
  for (const CueFile& file : reader.Files()) {
    const std::string file_path = Beside(path, file.path);
    const UniqueFile opened(std::fopen(file_path.c_str(), "rb"));
    const int64_t size = opened ? FileSize(opened.get()) : -1;
    if (size < 0) {
      log.Add(ProblemCode::kFileUnreadable, reader.Where(file.line), "%s cannot be read: %s",
              file_path.c_str(), std::strerror(errno));
      readable = false;
      continue;
    }
    if (file.tracks.empty()) continue;
    if (file.tracks.front().audio) {
      disc.audio_files.push_back(file_path);
      continue;
    }
    if (!file.binary) {
      log.Add(ProblemCode::kCueMode, reader.Where(file.line), "a data FILE must be BINARY");
    }
    if (size % static_cast<int64_t>(kRawSectorSize) != 0) {
      log.Add(ProblemCode::kImageSize, file_path, "%lld bytes are no whole number of sectors",
              static_cast<long long>(size));
    }
    const auto sectors = static_cast<int32_t>(size / static_cast<int64_t>(kRawSectorSize));
    int32_t shift = 0;  // PREGAP sectors so far, which the file does not hold
    int32_t previous = -1;
    for (size_t t = 0; t < file.tracks.size(); ++t) {
      const CueTrack& track = file.tracks[t];
      const int32_t first = track.index0 >= 0 ? track.index0 : track.index1;
      if (track.index1 < 0 || first > track.index1 || first <= previous || first >= sectors) {
        log.Add(ProblemCode::kCueIndex, reader.Where(track.line),
                "track %u: INDEX 01 is missing, out of order or beyond the file's %d sectors",
                track.number, static_cast<int>(sectors));
        continue;
      }
      previous = first;
      if (track.audio) continue;
      shift += std::max(track.pregap, 0);
      const int32_t next = t + 1 < file.tracks.size()
                               ? std::max(file.tracks[t + 1].index0, file.tracks[t + 1].index1)
                               : sectors;
      const int32_t next_first = t + 1 < file.tracks.size() && file.tracks[t + 1].index0 >= 0
                                     ? file.tracks[t + 1].index0
                                     : next;
      TrackSpan span;
      span.path = file_path;
      span.number = track.number;
      span.first = disc_position + shift + first;
      span.start = disc_position + shift + track.index1;
      span.end = disc_position + shift + std::clamp(next_first, first, sectors);
      span.file_offset = int64_t{first} * static_cast<int64_t>(kRawSectorSize);
      disc.tracks.push_back(span);
    }
    disc_position += shift + sectors;
  }
  return readable;
}

bool ReadCueSheet(const std::string& path, DiscSource& disc, ProblemLog& log) {
  std::ifstream in(path, std::ios::binary);
  std::string text;
  if (in) {
    text.resize(kMaxCueSize);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
  }
  if (!in && !in.eof()) {
    log.Add(ProblemCode::kFileUnreadable, path, "cannot be read: %s", std::strerror(errno));
    return false;
  }
  return ReadCueText(path, text, disc, log);
}

}  // namespace vcd2
