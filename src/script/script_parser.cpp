#include "script/script_parser.h"

#include <sys/stat.h>

#include "base/error_reporter.h"
#include "base/progress.h"

namespace vcd2 {

namespace {

// Lets the reporter read the reader's line while the script is parsed, and
// keeps the last line for the messages that follow the parse.
class ReporterLine {
 public:
  explicit ReporterLine(const ScriptReader& reader) : reader_(reader) {
    Reporter().SetLineSource([&reader] { return reader.Line(); });
  }
  ~ReporterLine() {
    Reporter().SetLineSource(nullptr);
    Reporter().SetLine(reader_.Line());
  }
  ReporterLine(const ReporterLine&) = delete;
  ReporterLine& operator=(const ReporterLine&) = delete;

 private:
  const ScriptReader& reader_;
};

}  // namespace

// A script file over the bound is refused before a word is read; a pipe or a
// device meets the same bound while it is read.
bool ParseScript(VcdProject& project) {
  struct stat info {};
  const int fd = project.script_file != nullptr ? fileno(project.script_file) : -1;
  if (fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<uint64_t>(info.st_size) > ScriptReader::kMaxScriptSize) {
    Reporter().SetScriptName("");
    ReportError("The script %s is %llu bytes long; a script may have at most %llu.",
                project.script_path.c_str(), static_cast<unsigned long long>(info.st_size),
                static_cast<unsigned long long>(ScriptReader::kMaxScriptSize));
    return false;
  }
  Reporter().SetScriptName(project.script_path);
  Reporter().SetLine(1);
  if (project.parse_enabled != 1) return false;
  ScriptReader reader(project.script_file);
  const ReporterLine line(reader);
  return static_cast<bool>(ScriptParser(project, reader).ParseStatements());
}

Status ScriptParser::ParseStatements() {
  for (;;) {
    if (!reader_.ReadWord()) return ReportEnd("No ENDFILE keyword present.");
    if (AbortRequested()) return false;
    const int token = reader_.ClassifyWord(KeywordClass::kStatement);
    if (token == kEndFile) return true;
    if (!Dispatch(token)) return false;
  }
}

Status ScriptParser::Dispatch(int token) {
  switch (token) {
    case kNoKeyword:
      ReportError("Unknown Keyword \"%s\" found.", Word());
      return false;
    case kOtherClass:
      ReportError("Keyword \"%s\" unexpected.", Word());
      return false;
    case kComment:
      reader_.SkipLine();
      return true;
    case kAddEntry:
    case kEntries:
      return true;
    case kTrack:
      ReportError("Old keyword TRACK used.");
      return false;
    case kEditEntries:
      ReportError("Old keyword EDITENTRIES used.");
      return false;
    case kVersion:
      return ParseVersion();
    case kAlbum:
      return ParseAlbum();
    case kVolume:
      return ExpectShort(project_.volume_number);
    case kAnzVol:
      return ExpectShort(project_.volume_count);
    case kOutput:
      return ParseOutput();
    case kApp:
      return ParseApplication();
    case kFile:
      return ParseVolumeFile(FileType::kPlainFile, project_.cdi_files);
    case kRtf:
      return ParseVolumeFile(FileType::kRtfFile, project_.cdi_files);
    case kIffDyuv:
      return ParseVolumeFile(FileType::kIffDyuv, project_.cdi_files);
    case kCopyright:
      return ParseVolumeFile(FileType::kCopyright, project_.descriptor_files);
    case kAbstract:
      return ParseVolumeFile(FileType::kAbstract, project_.descriptor_files);
    case kVolSet:
      return ParseVolumeFile(FileType::kVolumeSet, project_.descriptor_files);
    case kBiblio:
      return ParseVolumeFile(FileType::kBiblio, project_.descriptor_files);
    case kDir:
      return ParseDir();
    case kLogFile:
      return ParseLogFile();
    case kGenRtf:
      return ParseGenRtf();
    case kMount:
      return ParseMount();
    case kMpgTrack:
      return ParseMpegTrack();
    case kDaTrack:
      return ParseAudioTrack();
    case kDefEntry:
      return ParseEntry();
    case kMake:
      return ParseMake();
    case kSegment:
      return ParseSegment();
    case kPlayList:
      return ParseList(ListKind::kPlayList);
    case kSelection:
      return ParseList(ListKind::kSelection);
    case kAutoPause:
      return ParseAutoPause();
    default:
      ReportError("Keyword \"%s\" currently not supported.", Word());
      return false;
  }
}

Status ScriptParser::ReportEnd(const char* message) {
  if (AbortRequested()) return false;  // a stopped read ends the script early
  if (reader_.ScriptTooLong()) {
    ReportError("The script is longer than %zu bytes.",
                static_cast<size_t>(ScriptReader::kMaxScriptSize));
  } else if (reader_.WordTooLong()) {
    ReportError("A word is longer than %zu characters.", ScriptReader::kMaxWordLength);
  } else if (reader_.InHexMode()) {
    // A text ending in U before its closing quote opened a hex string,
    // which took in the rest of the script.
    ReportError("%s\r\nA hex string began in line %u at %s: U\" starts a hex string.", message,
                reader_.HexStartLine(), reader_.HexStartText().c_str());
  } else {
    ReportError("%s", message);
  }
  return false;
}

}  // namespace vcd2
