#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"
#include "model/vcd_project.h"
#include "script/script_reader.h"

namespace vcd2 {

// Reads the statements of a script into a VcdProject. Every failing reader
// or handler reports its one message and returns a failed Status; the first
// failure ends the parse.
class ScriptParser {
 public:
  ScriptParser(VcdProject& project, ScriptReader& reader) : project_(project), reader_(reader) {}

  // Reads statements until ENDFILE (success) or the first failure.
  Status ParseStatements();

  // Value readers.
  Status ExpectString(std::string& text);
  Status ExpectLong(int32_t& value);
  Status ExpectShort(uint16_t& value);
  Status ExpectByte(uint8_t& value);
  // A keyword of the wanted class (or a closing keyword); the token is > 0.
  Status ExpectKeyword(KeywordClass wanted, int& token);
  // A quoted path, or an unquoted mount label followed by the path inside it.
  Status ExpectFileRef(FileRef& file);
  // [+|-|=]field[:field[:field[:field]]], fields 0..99 packed one per byte.
  Status ExpectTimecode(uint32_t& timecode, uint8_t& mode);

 private:
  Status Dispatch(int token);
  // Reports message, or that the script or a word was too long when that
  // ended the script.
  Status ReportEnd(const char* message);
  const char* Word() const { return reader_.Word().c_str(); }
  // The word just read is an unquoted label the script mounted.
  bool IsMountLabel() const {
    return !reader_.IsQuoted() && project_.FindMount(reader_.Word()) != nullptr;
  }

  // Disc-wide statements.
  Status ParseVersion();
  Status ParseAlbum();
  Status ParseApplication();
  Status ParseOutput();
  Status ParseVolumeFile(FileType type, OwnedList<CdiFile>& list);
  Status ParseDir();
  Status ParseLogFile();
  Status ParseGenRtf();

  // Track and entry statements.
  Status ParseMpegTrack();
  Status ParseSegment();
  Status ParseAudioTrack();
  Status ParseEntry();
  Status ParseAutoPause();

  Status ParseMount();

  // PLAYLIST and SELECTION.
  Status ParseList(ListKind kind);
  Status ParsePlayListClause(PsdList& list, int token);
  Status ParseSelectionClause(PsdList& list, int token);
  Status ParsePlayItems(PsdList& list);
  Status ParseSelectionPlayItem(PsdList& list);
  void ReadTarget(LabelRef& target, const PsdList& list, bool multi_allowed);
  void ApplyTarget(LabelRef& target, const PsdList& list, bool multi_allowed);
  void ReadArea(HotSpotArea& area);
  Status ParsePlayTime(PsdList& list);
  Status ParseWaitTime(uint8_t& code);
  Status ParseLoop(PsdList& list);
  Status ParseJump(PsdList& list);
  Status ParseItems(PsdList& list);

  // MAKE.
  Status ParseMake();
  Status ParseAudioParameters(AudioMakeRule& rule);
  Status ParseStillTargets(int resolution, const std::string& resolution_word, FileRef& target,
                           FileRef& low_target, bool& has_low_target);
  Status ParseAudioMake(const FileRef& target, std::unique_ptr<AudioMakeRule> rule);
  Status ParseStillMake(const FileRef& target, const FileRef* low_target);
  Status ParseMuxMake(const FileRef& target);
  Status ParseMuxStream(int kind, uint32_t stream_number, MuxMakeRule& rule);
  Status ParseMenuMake();
  Status ParseMenuClauses(MenuMakeRule& rule);
  // MAKE MPEG (statements_make_mpeg.cpp): true when the word after MAKE is
  // MPEG, which is then consumed.
  bool AtMakeMpeg();
  Status ParseMpegMake();

  VcdProject& project_;
  ScriptReader& reader_;
};

// The parse phase: reads the project's open script; true when it ended with
// ENDFILE.
bool ParseScript(VcdProject& project);

}  // namespace vcd2
