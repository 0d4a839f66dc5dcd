// MAKE MPEG PAL|NTSC target FROM VIDEO source [AUDIO source] [SKIP time]
// [LENGTH time] ENDMAKE. MPEG, PAL, NTSC and SKIP are keywords only here, so
// they are compared as words and stay free for labels and mounts elsewhere.
#include "base/error_reporter.h"
#include "script/script_parser.h"

namespace vcd2 {

bool ScriptParser::AtMakeMpeg() {
  if (!reader_.ReadWord()) return false;
  if (reader_.Word() == "MPEG") return true;
  reader_.UngetWord();
  return false;
}

Status ScriptParser::ParseMpegMake() {
  if (!reader_.ReadWord()) return ReportEnd("Expected PAL or NTSC after MAKE MPEG.");
  const std::string norm = reader_.Word();
  if (norm != "PAL" && norm != "NTSC") {
    ReportError("Expected PAL or NTSC after MAKE MPEG, found %s.", norm.c_str());
    return false;
  }
  FileRef target;
  if (!ExpectFileRef(target)) return false;
  target.SetFileType(FileType::kMpegSystem);
  int token = 0;
  if (!ExpectKeyword(KeywordClass::kFrom, token)) return false;
  if (!ExpectKeyword(KeywordClass::kMuxStream, token)) return false;
  if (token != kVideo) {
    ReportError("Expected VIDEO after FROM in MAKE MPEG, found %s.", reader_.Word().c_str());
    return false;
  }
  FileRef video;
  if (!ExpectFileRef(video)) return false;
  video.SetFileType(FileType::kMpegVideo);
  auto rule = std::make_unique<MpegMakeRule>(target);
  rule->pal = norm == "PAL";
  rule->AddSource(video);
  bool has_audio = false;
  for (;;) {
    if (!reader_.ReadWord()) return ReportEnd("Expected ENDMAKE");
    uint8_t mode = 0;
    if (reader_.Word() == "SKIP") {
      if (!ExpectTimecode(rule->skip, mode)) return false;
      continue;
    }
    token = reader_.ClassifyWord(KeywordClass::kMuxStream);
    if (token == kEndMake) break;
    if (token == kLength) {
      if (!ExpectTimecode(rule->length, mode)) return false;
    } else if (token == kAudio && !has_audio) {
      FileRef audio;
      if (!ExpectFileRef(audio)) return false;
      audio.SetFileType(FileType::kMpegAudio);
      rule->AddSource(audio);
      has_audio = true;
    } else {
      ReportError("Expected AUDIO, SKIP, LENGTH or ENDMAKE in MAKE MPEG, found %s.",
                  reader_.Word().c_str());
      return false;
    }
  }
  project_.makes.push_back(std::move(rule));
  return true;
}

}  // namespace vcd2
