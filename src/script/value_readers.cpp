#include "base/error_reporter.h"
#include "script/script_parser.h"

namespace vcd2 {
namespace {

constexpr uint32_t kMaxTimecodeField = 99;
constexpr int kTimecodeFields = 4;

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

constexpr uint32_t kMostPicturesPerSecond = 30;

// The fields from position i on, each into the next byte up; their number
// is counted. Reports a bad field or separator.
Status ReadTimecodeFields(const std::string& text, size_t i, uint32_t& timecode, int& fields) {
  timecode = 0;
  for (fields = 0; fields < kTimecodeFields;) {
    if (i == text.size()) return true;
    uint32_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      value = value * 10 + static_cast<uint32_t>(text[i] - '0');
      if (value > kMaxTimecodeField) {
        ReportError("Illegal timecode format.");
        return false;
      }
    }
    timecode = (timecode << 8) | value;
    ++fields;
    if (i == text.size()) return true;
    if (text[i] != ':' && text[i] != ';') {
      ReportError("Illegal timecode format.");
      return false;
    }
    ++i;
  }
  return true;  // text behind the fourth field is ignored
}

// A time code of fewer than four fields (1:30 is a second and 30 pictures),
// or whose pictures make a second or more at any frame rate, is told with
// the way it was read.
void WarnAboutTimecode(const std::string& text, uint32_t timecode, int fields) {
  const uint32_t pictures = timecode & 0xFF;
  if (fields == 0 || (fields == kTimecodeFields && pictures < kMostPicturesPerSecond)) return;
  ReportWarning(
      "Time code %s is read as %02u:%02u:%02u:%02u (hours:minutes:seconds:pictures)%s.",
      text.c_str(), timecode >> 24, timecode >> 16 & 0xFF, timecode >> 8 & 0xFF, pictures,
      pictures >= kMostPicturesPerSecond ? "; a second has 25 pictures (PAL) or 30 (NTSC)" : "");
}

}  // namespace

Status ScriptParser::ExpectString(std::string& text) {
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered.");
  text = reader_.Word();
  return true;
}

Status ScriptParser::ExpectLong(int32_t& value) {
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered.");
  if (!reader_.ParseInteger(value)) {
    ReportError("Expected numerical value, found %s.", Word());
    return false;
  }
  return true;
}

Status ScriptParser::ExpectShort(uint16_t& value) {
  int32_t number = 0;
  if (!ExpectLong(number)) return false;
  value = static_cast<uint16_t>(number);
  return true;
}

Status ScriptParser::ExpectByte(uint8_t& value) {
  int32_t number = 0;
  if (!ExpectLong(number)) return false;
  value = static_cast<uint8_t>(number);
  return true;
}

Status ScriptParser::ExpectKeyword(KeywordClass wanted, int& token) {
  if (!reader_.ReadWord()) return ReportEnd("EOF encountered while expecting INTERN or EXTERN");
  token = reader_.ClassifyWord(wanted);
  if (token <= 0) {
    ReportError("The word %s was a complete surprise to me at this place of your script.", Word());
    return false;
  }
  return true;
}

Status ScriptParser::ExpectFileRef(FileRef& file) {
  std::string first;
  if (!ExpectString(first)) return false;
  if (reader_.IsQuoted()) {
    file = FileRef(first);
    return true;
  }
  std::string path;
  if (!ExpectString(path)) return false;
  file = FileRef(first, path);
  return true;
}

Status ScriptParser::ExpectTimecode(uint32_t& timecode, uint8_t& mode) {
  std::string text;
  if (!ExpectString(text)) return false;
  text = Trim(text);
  size_t i = 0;
  mode = 0;
  if (!text.empty() && (text[0] == '+' || text[0] == '-' || text[0] == '=')) {
    mode = text[0] == '-' ? 1 : text[0] == '=' ? 2 : 0;
    i = 1;
  }
  int fields = 0;
  if (!ReadTimecodeFields(text, i, timecode, fields)) return false;
  WarnAboutTimecode(text, timecode, fields);
  return true;
}

}  // namespace vcd2
