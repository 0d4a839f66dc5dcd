#include "script/keywords.h"

#include <span>

namespace vcd2 {
namespace {

struct Keyword {
  std::string_view word;
  KeywordClass keyword_class;
  Token token;
};

using C = KeywordClass;

constexpr Keyword kCommonList[] = {
    {"!", C::kStatement, kComment},
    {"#", C::kStatement, kComment},
    {";", C::kStatement, kComment},
    {"REM", C::kStatement, kComment},
    {"VERSION", C::kStatement, kVersion},
    {"ALBUM", C::kStatement, kAlbum},
    {"VOLUME", C::kStatement, kVolume},
    {"ANZVOL", C::kStatement, kAnzVol},
    {"OUTPUT", C::kStatement, kOutput},
    {"ADDENTRY", C::kStatement, kAddEntry},
    {"APP", C::kStatement, kApp},
    {"FILE", C::kStatement, kFile},
    {"RTF", C::kStatement, kRtf},
    {"IFFDYUV", C::kStatement, kIffDyuv},
    {"TEXT", C::kStatement, kText},
    {"DIR", C::kStatement, kDir},
    {"COPYRIGHT", C::kStatement, kCopyright},
    {"ABSTRACT", C::kStatement, kAbstract},
    {"VOLSET", C::kStatement, kVolSet},
    {"BIBLIO", C::kStatement, kBiblio},
    {"LOGFILE", C::kStatement, kLogFile},
    {"ENDMAKE", C::kClosing, kEndMake},
    {"GENRTF", C::kClosing, kGenRtf},
    {"ENDOUTPUT", C::kOutputEnd, kEndOutput},
    {"FORM", C::kRecordMarker, kForm},
    {"EOR", C::kRecordMarker, kEor},
    {"EOF", C::kRecordMarker, kEof},
};

constexpr Keyword kOldList[] = {
    {"TRACK", C::kStatement, kTrack},
    {"EDITENTRIES", C::kStatement, kEditEntries},
    {"ENTRIES", C::kStatement, kEntries},
    {"END", C::kOldEnd, kEnd},
};

constexpr Keyword kVersion20List[] = {
    {"ENDFILE", C::kClosing, kEndFile},
    {"MOUNT", C::kStatement, kMount},
    {"MPGTRACK", C::kStatement, kMpgTrack},
    {"DATRACK", C::kStatement, kDaTrack},
    {"DEFENTRY", C::kStatement, kDefEntry},
    {"MAKE", C::kStatement, kMake},
    {"SEGMENT", C::kStatement, kSegment},
    {"PLAYLIST", C::kStatement, kPlayList},
    {"SELECTION", C::kStatement, kSelection},
    {"EXTERN", C::kMountMode, kExtern},
    {"INTERN", C::kMountMode, kIntern},
    {"ON", C::kOn, kOn},
    {"MPA", C::kMakeKind, kMpa},
    {"MUX", C::kMakeKind, kMux},
    {"CC", C::kMakeKind, kCc},
    {"STILL", C::kMakeKind, kStill},
    {"STILL", C::kMuxStream, kStill},
    {"AUDIO", C::kMuxStream, kAudio},
    {"VIDEO", C::kMuxStream, kVideo},
    {"SYSTEM", C::kMuxStream, kSystem},
    {"LENGTH", C::kMuxStream, kLength},
    {"FROM", C::kFrom, kFrom},
    {"WAVE", C::kAudioFormat, kWave},
    {"AIFF", C::kAudioFormat, kAiff},
    {"PCML", C::kAudioFormat, kPcml},
    {"PCMM", C::kAudioFormat, kPcmm},
    {"BMP", C::kPictureFormat, kBmp},
    {"PLAY", C::kListClause, kPlay},
    {"ENDPLAY", C::kClosing, kEndPlay},
    {"PREVIOUS", C::kListClause, kPrevious},
    {"NEXT", C::kListClause, kNext},
    {"RETURN", C::kListClause, kReturn},
    {"DEFAULT", C::kListClause, kDefault},
    {"PLAYTIME", C::kListClause, kPlayTime},
    {"WAIT", C::kListClause, kWait},
    {"AUTOWAIT", C::kListClause, kAutoWait},
    {"TIMEOUT", C::kListClause, kTimeout},
    {"ENDPLAYLIST", C::kClosing, kEndPlayList},
    {"ENDSELECTION", C::kClosing, kEndSelection},
    {"BASE", C::kListClause, kBase},
    {"WAIT", C::kListClause, kWait},
    {"LOOP", C::kListClause, kLoop},
    {"ITEMS", C::kListClause, kItems},
    {"JUMP", C::kListClause, kJump},
    {"ENDITEMS", C::kClosing, kEndItems},
    {"PALHIGH", C::kStillResolution, kPalHigh},
    {"PALLOW", C::kStillResolution, kPalLow},
    {"NTSCHIGH", C::kStillResolution, kNtscHigh},
    {"NTSCLOW", C::kStillResolution, kNtscLow},
    {"INF", C::kInf, kInf},
    {"IMMEDIATE", C::kJump, kImmediate},
    {"COMPLETE", C::kJump, kComplete},
    {"START", C::kTarget, kStart},
    {"STOP", C::kTarget, kStop},
    {"NONE", C::kTarget, kNone},
    {"MULTI", C::kTarget, kMulti},
    {"MULTINUM", C::kTarget, kMultiNum},
    {"AUTOPAUSE", C::kStatement, kAutoPause},
    {"BEGIN", C::kPausePosition, kBegin},
    {"END", C::kPausePosition, kEnd},
    {"AT", C::kPausePosition, kAt},
};

int Search(std::span<const Keyword> list, std::string_view word, KeywordClass wanted) {
  int result = kNoKeyword;
  for (const Keyword& keyword : list) {
    if (keyword.word != word) continue;
    if (keyword.keyword_class == wanted || keyword.keyword_class == C::kClosing) {
      return keyword.token;
    }
    result = kOtherClass;
  }
  return result;
}

}  // namespace

int ClassifyKeyword(std::string_view word, KeywordClass wanted, Language language) {
  const int common = Search(kCommonList, word, wanted);
  if (common != kNoKeyword) return common;
  return language == Language::kVersion20 ? Search(kVersion20List, word, wanted)
                                          : Search(kOldList, word, wanted);
}

}  // namespace vcd2
