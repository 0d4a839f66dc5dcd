#include <algorithm>
#include <cstring>

#include "base/error_reporter.h"
#include "script/script_parser.h"

namespace vcd2 {
namespace {

constexpr int32_t kVersion20 = 20;
constexpr int32_t kVersion11 = 11;
constexpr uint8_t kSubmodeEndOfRecord = 0x01;
constexpr uint8_t kSubmodeEndOfFile = 0x80;

uint8_t PartSubmode(const RtfPart& part) {
  return part.GetFileType() == FileType::kForm1Part ? 0x08 : 0x28;
}

void SetRecordOptions(RtfPart& part, uint8_t pending) {
  part.submode = PartSubmode(part);
  part.last_submode = part.submode | pending;
}

// ISO 9660 d-characters; the space that pads the field passes too.
bool IsDCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ' ';
}

bool IsACharacter(char c) {
  return IsDCharacter(c) || std::strchr("!\"%&'()*+,-./:;<=>?", c) != nullptr;
}

// A volume descriptor identifier the disc will not carry as written.
void WarnIdentifier(const char* keyword, const std::string& text, size_t room,
                    bool (*allowed)(char), const char* kind) {
  if (text.size() > room) {
    ReportWarning("%s \"%s\" is cut to its first %zu characters.", keyword, text.c_str(), room);
  }
  if (!std::all_of(text.begin(), text.end(), allowed)) {
    ReportWarning("%s \"%s\" holds characters outside the ISO 9660 %s (A-Z, 0-9, _%s).", keyword,
                  text.c_str(), kind, allowed == IsDCharacter ? "" : ", punctuation");
  }
}

constexpr size_t kMaxNameLength = 8;
constexpr size_t kMaxExtensionLength = 3;
constexpr char kVersionSuffix[] = ";1";

bool IsNameCharacter(char c) {
  return c != ' ' && IsDCharacter(c);
}

// An ISO 9660 level 1 file name: 1 to 8 d-characters, optionally a point
// and up to 3 more.
bool IsIsoFileName(const std::string& name) {
  const size_t point = name.find('.');
  const std::string stem = name.substr(0, point);
  const std::string extension = point == std::string::npos ? "" : name.substr(point + 1);
  return !stem.empty() && stem.size() <= kMaxNameLength &&
         extension.size() <= kMaxExtensionLength &&
         std::all_of(stem.begin(), stem.end(), IsNameCharacter) &&
         std::all_of(extension.begin(), extension.end(), IsNameCharacter);
}

// A file's name in the image, which may carry the version ";1".
Status CheckFileName(const std::string& name, FileType type) {
  std::string plain = name;
  if (plain.ends_with(kVersionSuffix)) plain.resize(plain.size() - (sizeof kVersionSuffix - 1));
  if (IsIsoFileName(plain)) return true;
  ReportError("Invalid file name \"%s\" in %s: 8.3 d-characters (A-Z, 0-9, _) expected.",
              name.c_str(), VolumeFileStatement(type));
  return false;
}

}  // namespace

Status ScriptParser::ParseVersion() {
  if (!reader_.ReadWord()) return ReportEnd("Illegal EOF found in version number.");
  int32_t number = 0;
  if (!reader_.ParseVersionNumber(number)) {
    ReportError("Expected version number, found \"%s\".", Word());
    return false;
  }
  if (number != kVersion20 && number != kVersion11) {
    ReportError("Expected one of 2.0 or 1.1, found \"%s\".", Word());
    return false;
  }
  if (project_.version != 0) {
    ReportError("Version number redefined.");
    return false;
  }
  project_.version = number == kVersion20 ? 2 : 1;
  reader_.SetLanguage(static_cast<int>(project_.version));
  return true;
}

Status ScriptParser::ParseAlbum() {
  std::string text;
  if (!ExpectString(text)) return false;
  WarnIdentifier("ALBUM", text, project_.album_id.size(), IsDCharacter, "d-characters");
  auto& album = project_.album_id;
  album.fill(' ');
  std::copy_n(text.begin(), std::min(text.size(), album.size()), album.begin());
  return true;
}

Status ScriptParser::ParseApplication() {
  std::string text;
  if (!ExpectString(text)) return false;
  WarnIdentifier("APP", text, project_.application_name.size() - 1, IsACharacter, "a-characters");
  auto& name = project_.application_name;
  name.fill('\0');
  std::copy_n(text.begin(), std::min(text.size(), name.size() - 1), name.begin());
  return true;
}

Status ScriptParser::ParseOutput() {
  for (;;) {
    if (!reader_.ReadWord()) return ReportEnd("EOF encountered.");
    int32_t number = 0;
    if (!reader_.ParseInteger(number)) break;
    FileRef file;
    if (!ExpectFileRef(file)) {
      ReportError("Expected output filename.");
      return false;
    }
    project_.output_names.push_back(
        std::make_unique<OutputName>(file, static_cast<uint32_t>(number)));
  }
  if (reader_.ClassifyWord(KeywordClass::kOutputEnd) == kEndOutput) return true;
  ReportError("Expected numerical value or ENDOUTPUT (found %s", Word());
  return false;
}

Status ScriptParser::ParseVolumeFile(FileType type, OwnedList<CdiFile>& list) {
  std::string name;
  FileRef file;
  if (!ExpectString(name) || !CheckFileName(name, type) || !ExpectFileRef(file)) return false;
  list.push_back(std::make_unique<CdiFile>(file, name, type));
  return true;
}

Status ScriptParser::ParseDir() {
  if (!ExpectString(project_.dir_text)) return false;
  project_.dir_given = 1;
  return true;
}

Status ScriptParser::ParseLogFile() {
  FileRef file;
  if (!ExpectFileRef(file)) return false;
  project_.log_file = std::make_unique<FileRef>(file);
  return true;
}

// GENRTF name { FORM n file | EOR } EOF
Status ScriptParser::ParseGenRtf() {
  std::string name;
  if (!ExpectString(name) || !CheckFileName(name, FileType::kPartsFile)) return false;
  auto rtf = std::make_unique<RtfFile>(name);
  RtfPart* current = nullptr;
  uint8_t pending = 0;
  for (bool done = false; !done;) {
    int token = 0;
    if (!ExpectKeyword(KeywordClass::kRecordMarker, token)) return false;
    if (token == kEor) {
      pending |= kSubmodeEndOfRecord;
    } else if (token == kEof) {
      pending |= kSubmodeEndOfFile;
      done = true;
    } else if (token == kForm) {
      if (current != nullptr) SetRecordOptions(*current, pending);
      uint8_t form = 0;
      if (!ExpectByte(form)) return false;
      if (form != 1 && form != 2) {
        ReportError("Only Form 1 and Form 2 allowed.");
        return false;
      }
      FileRef file;
      if (!ExpectFileRef(file)) return false;
      rtf->parts.push_back(
          std::make_unique<RtfPart>(file, form == 1 ? FileType::kForm1Part : FileType::kForm2Part));
      current = rtf->parts.back().get();
      pending = 0;
    }  // other closing keywords are passed over
  }
  if (current == nullptr) {
    ReportError("Empty GENRTF statement.");
    return false;
  }
  SetRecordOptions(*current, pending);
  project_.cdi_files.push_back(std::move(rtf));
  return true;
}

}  // namespace vcd2
