#include "base/error_reporter.h"
#include "script/script_parser.h"

namespace vcd2 {

// MPGTRACK label sequence file
Status ScriptParser::ParseMpegTrack() {
  std::string label;
  int32_t sequence = 0;
  FileRef file;
  if (!ExpectString(label) || !ExpectLong(sequence) || !ExpectFileRef(file)) return false;
  file.SetFileType(FileType::kMpegSystem);
  project_.mpeg_tracks.push_back(
      std::make_unique<MpegTrack>(file, label, static_cast<uint32_t>(sequence)));
  return true;
}

// SEGMENT label sequence file
Status ScriptParser::ParseSegment() {
  std::string label;
  int32_t sequence = 0;
  FileRef file;
  if (!ExpectString(label) || !ExpectLong(sequence) || !ExpectFileRef(file)) return false;
  file.SetFileType(FileType::kMpegSystem);
  project_.segments.push_back(
      std::make_unique<SegmentItem>(file, label, static_cast<uint32_t>(sequence)));
  return true;
}

// DATRACK label sequence WAVE|AIFF|PCML|PCMM file
Status ScriptParser::ParseAudioTrack() {
  std::string label;
  int32_t sequence = 0;
  constexpr int kNothingRead = kNoKeyword - 1;  // the script ended before the format
  int format = kNothingRead;
  if (!ExpectString(label) || !ExpectLong(sequence)) return false;
  if (!ExpectKeyword(KeywordClass::kAudioFormat, format)) {
    if (format != kNothingRead) ReportError("Expected Audio file type.");
    return false;
  }
  FileType type;
  switch (format) {
    case kWave:
      type = FileType::kWave;
      break;
    case kAiff:
      type = FileType::kAiff;
      break;
    case kPcml:
      type = FileType::kPcmLittleEndian;
      break;
    case kPcmm:
      type = FileType::kPcmBigEndian;
      break;
    default:
      ReportError("Expected Audio file type.");
      return false;
  }
  FileRef file;
  if (!ExpectFileRef(file)) return false;
  file.SetFileType(type);
  project_.audio_tracks.push_back(
      std::make_unique<AudioTrack>(file, label, static_cast<uint32_t>(sequence)));
  return true;
}

// DEFENTRY label timecode track-label
Status ScriptParser::ParseEntry() {
  std::string label;
  std::string track_label;
  uint32_t timecode = 0;
  uint8_t mode = 0;
  if (!ExpectString(label)) return false;
  const uint32_t line = reader_.Line();  // the statement's, unless its label ends the line
  if (!ExpectTimecode(timecode, mode) || !ExpectString(track_label)) return false;
  if (timecode == 0) {
    ReportError("Entry %s has illegal timecode.", label.c_str());
    return false;
  }
  project_.entries.push_back(std::make_unique<EntryPoint>(label, track_label, timecode, mode));
  project_.entries.back()->line = line;
  return true;
}

static_assert(kBegin == kPauseBegin && kAt == kPauseAt && kEnd == kPauseEnd);

// AUTOPAUSE label BEGIN|END|AT timecode
Status ScriptParser::ParseAutoPause() {
  std::string label;
  int position = 0;
  if (!ExpectString(label) || !ExpectKeyword(KeywordClass::kPausePosition, position)) {
    return false;
  }
  uint32_t timecode = 0;
  uint8_t mode = 0;  // read and dropped
  if (position == kAt && !ExpectTimecode(timecode, mode)) return false;
  project_.pause_marks.push_back(std::make_unique<PauseMark>(
      PauseMark{LabelRef(label, reader_.Line()), static_cast<uint32_t>(position), timecode}));
  return true;
}

}  // namespace vcd2
