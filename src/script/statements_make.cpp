#include <vector>

#include "base/error_reporter.h"
#include "script/script_parser.h"
#include "script/still_length.h"

namespace vcd2 {
namespace {

struct BitrateCode {
  uint32_t kbits;
  uint8_t code;
};
constexpr BitrateCode kBitrates[] = {{64, 3}, {96, 4}, {128, 5}, {192, 6}, {224, 7}, {384, 8}};
constexpr uint32_t kBitrateCap = 100000;  // larger numbers stay illegal without overflowing

bool IsBlank(char c) {
  return c == ' ';
}

// Channel mode of the letter after the bitrate: M mono, S stereo, I joint
// stereo, D dual channel.
int ChannelMode(char letter) {
  switch (letter) {
    case 'M':
    case 'm':
      return 0;
    case 'S':
    case 's':
      return 1;
    case 'I':
    case 'i':
      return 2;
    case 'D':
    case 'd':
      return 3;
    default:
      return -1;
  }
}

FileType StillTargetType(int resolution) {
  switch (resolution) {
    case kPalHigh:
      return FileType::kPalHighStill;
    case kPalLow:
      return FileType::kPalLowStill;
    case kNtscHigh:
      return FileType::kNtscHighStill;
    case kNtscLow:
      return FileType::kNtscLowStill;
    default:
      return FileType::kNone;
  }
}

}  // namespace

// MAKE MPA|STILL|MUX ... ENDMAKE (and MAKE MPEG, statements_make_mpeg.cpp)
Status ScriptParser::ParseMake() {
  if (AtMakeMpeg()) return ParseMpegMake();
  if (reader_.ReadWord()) {
    if (!reader_.IsQuoted() && reader_.Word() == "MENU") return ParseMenuMake();
    reader_.UngetWord();
  }
  int kind = 0;
  if (!ExpectKeyword(KeywordClass::kMakeKind, kind)) return false;
  if (kind == kCc) {
    ReportError("Closed Caption support is currently not implemented.");
    return false;
  }
  if (kind != kMpa && kind != kMux && kind != kStill) {
    ReportError("Cannot MAKE things I don't know how to do.");
    return false;
  }
  std::unique_ptr<AudioMakeRule> audio;
  int resolution = 0;
  std::string resolution_word;
  if (kind == kMpa) {
    audio = std::make_unique<AudioMakeRule>(FileRef());
    if (!ParseAudioParameters(*audio)) return false;
  }
  if (kind == kStill) {
    if (!ExpectKeyword(KeywordClass::kStillResolution, resolution)) return false;
    resolution_word = reader_.Word();
  }
  FileRef target;
  if (!ExpectFileRef(target)) return false;
  FileRef low_target;
  bool has_low_target = false;
  if (kind == kMpa) target.SetFileType(FileType::kMpegAudio);
  if (kind == kMux) target.SetFileType(FileType::kMpegSystem);
  if (kind == kStill &&
      !ParseStillTargets(resolution, resolution_word, target, low_target, has_low_target)) {
    return false;
  }
  int from = 0;
  if (!ExpectKeyword(KeywordClass::kFrom, from)) return false;
  if (kind == kMpa) return ParseAudioMake(target, std::move(audio));
  if (kind == kStill) return ParseStillMake(target, has_low_target ? &low_target : nullptr);
  return ParseMuxMake(target);
}

// The parameter word of MPA: a bitrate in kbit/s and an optional mode letter.
Status ScriptParser::ParseAudioParameters(AudioMakeRule& rule) {
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered expecting audio encoding parameters.");
  const std::string& word = reader_.Word();
  size_t i = 0;
  while (i < word.size() && IsBlank(word[i])) ++i;
  uint32_t kbits = 0;
  for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
    kbits = std::min(kbits * 10 + static_cast<uint32_t>(word[i] - '0'), kBitrateCap);
  }
  if (kbits == 0) {
    ReportError("Expected audio bitrate.");
    return false;
  }
  const BitrateCode* bitrate = nullptr;
  for (const auto& entry : kBitrates) {
    if (entry.kbits == kbits) bitrate = &entry;
  }
  if (bitrate == nullptr) {
    ReportError("Illegal audio bitrate.");
    return false;
  }
  rule.bitrate_code = bitrate->code;
  while (i < word.size() && IsBlank(word[i])) ++i;
  if (i == word.size()) return true;  // no mode letter: stereo
  const int mode = ChannelMode(word[i]);
  if (mode < 0) {
    ReportError("Expected MPEG audio format specifier.");
    return false;
  }
  rule.channel_mode = static_cast<uint32_t>(mode);
  for (++i; i < word.size(); ++i) {
    if (!IsBlank(word[i])) return false;
  }
  return true;
}

Status ScriptParser::ParseStillTargets(int resolution, const std::string& resolution_word,
                                       FileRef& target, FileRef& low_target, bool& has_low_target) {
  const FileType type = StillTargetType(resolution);
  if (type == FileType::kNone) {
    ReportError("Expected STILL resolution identifier, found %s.", resolution_word.c_str());
    return false;
  }
  target.SetFileType(type);
  if (resolution != kPalHigh && resolution != kNtscHigh) return true;
  if (!reader_.ReadWord()) return ReportEnd("Expected FROM or low res filename.");
  reader_.UngetWord();
  if (reader_.ClassifyWord(KeywordClass::kFrom) == kFrom) return true;
  if (!ExpectFileRef(low_target)) {
    ReportError("Expected FROM or low res filename.");
    return false;
  }
  low_target.SetFileType(resolution == kPalHigh ? FileType::kPalLowStill : FileType::kNtscLowStill);
  has_low_target = true;
  return true;
}

// ... FROM WAVE|AIFF|PCML|PCMM source ENDMAKE
Status ScriptParser::ParseAudioMake(const FileRef& target, std::unique_ptr<AudioMakeRule> rule) {
  int format = 0;
  FileRef source;
  if (!ExpectKeyword(KeywordClass::kAudioFormat, format) || !ExpectFileRef(source)) return false;
  switch (format) {
    case kWave:
      source.SetFileType(FileType::kWave);
      break;
    case kAiff:
      source.SetFileType(FileType::kAiff);
      break;
    case kPcml:
      source.SetFileType(FileType::kPcmLittleEndian);
      break;
    case kPcmm:
      source.SetFileType(FileType::kPcmBigEndian);
      break;
    default:
      return false;
  }
  int closing = 0;
  if (!ExpectKeyword(KeywordClass::kClosing, closing)) return false;
  if (closing != kEndMake) {
    ReportError("Expected ENDMAKE");
    return false;
  }
  rule->SetTarget(target);
  rule->AddSource(source);
  project_.makes.push_back(std::move(rule));
  return true;
}

// ... FROM { BMP source } ENDMAKE; a keyword that cannot be read ends the
// list too, and its message stands.
Status ScriptParser::ParseStillMake(const FileRef& target, const FileRef* low_target) {
  auto rule = std::make_unique<StillMakeRule>(target);
  std::unique_ptr<StillMakeRule> companion;
  if (low_target != nullptr) companion = std::make_unique<StillMakeRule>(*low_target);
  for (;;) {
    int format = 0;
    if (!ExpectKeyword(KeywordClass::kPictureFormat, format) || format == kEndMake) break;
    FileRef source;
    if (!ExpectFileRef(source)) return false;
    if (format != kBmp) return false;
    source.SetFileType(FileType::kPicture);
    rule->AddSource(source);
    if (companion) companion->AddSource(source);
  }
  project_.makes.push_back(std::move(rule));
  if (companion) {
    companion->low_resolution = 1;
    project_.makes.push_back(std::move(companion));
  }
  return true;
}

// ... FROM { STILL|AUDIO|VIDEO stream } ENDMAKE
Status ScriptParser::ParseMuxMake(const FileRef& target) {
  auto rule = std::make_unique<MuxMakeRule>(target);
  for (uint32_t stream = 1;; ++stream) {
    int kind = 0;
    if (!ExpectKeyword(KeywordClass::kMuxStream, kind) || kind == kEndMake) break;
    if (!ParseMuxStream(kind, stream, *rule)) return false;
  }
  project_.makes.push_back(std::move(rule));
  return true;
}

// One stream: its first source, then further STILL sources and LENGTH n
// until the next stream keyword or ENDMAKE. Only STILL streams keep LENGTH.
// A mount label that is also a keyword (DIR) still starts a source.
Status ScriptParser::ParseMuxStream(int kind, uint32_t stream_number, MuxMakeRule& rule) {
  FileRef first;
  if (!ExpectFileRef(first)) return false;
  FileType type;
  switch (kind) {
    case kStill:
      type = FileType::kMpegStill;
      break;
    case kAudio:
      type = FileType::kMpegAudio;
      break;
    case kVideo:
      type = FileType::kMpegVideo;
      break;
    default:
      return false;
  }
  first.SetFileType(type);
  std::vector<MakeSourceItem> sources{MakeSourceItem(first, stream_number)};
  int32_t length = 0;
  for (bool done = false; !done;) {
    if (!reader_.ReadWord()) return ReportEnd("Expected MAKE MUX Ids");
    const int token = reader_.ClassifyWord(KeywordClass::kMuxStream);
    if (token == kLength) {
      if (!ExpectLong(length)) return false;
      if (kind == kStill && !CheckStillLength(length)) return false;
    } else if (token == kNoKeyword || (token == kOtherClass && IsMountLabel())) {
      if (kind != kStill) return false;
      reader_.UngetWord();
      FileRef more;
      if (!ExpectFileRef(more)) return false;
      more.SetFileType(FileType::kMpegStill);
      sources.emplace_back(more, stream_number);
    } else if (token == kStill || token == kAudio || token == kVideo || token == kEndMake ||
               token == kOtherClass) {
      reader_.UngetWord();
      done = true;
    } else {
      ReportError("Reserved keyword used.");
      return false;
    }
  }
  if (kind == kStill && !CheckShownTotal(rule, length)) return false;
  for (auto& source : sources) {
    if (kind == kStill) source.length = static_cast<uint32_t>(length);
    rule.AddItemSource(source);
  }
  return true;
}

}  // namespace vcd2
