#pragma once

#include <cstdint>
#include <string_view>

namespace vcd2 {

// The syntactic place in which a word is asked for as a keyword.
enum class KeywordClass : int {
  kStatement = 1,
  kFrom = 2,
  kAudioFormat = 3,
  kPictureFormat = 4,
  kOldEnd = 5,
  kMountMode = 6,
  kOn = 7,
  kMakeKind = 8,
  kMuxStream = 9,
  kListClause = 11,
  kStillResolution = 12,
  kInf = 13,
  kJump = 14,
  kTarget = 15,
  kRecordMarker = 16,
  kOutputEnd = 17,
  kPausePosition = 18,
  kClosing = 99,  // matches whatever class is asked for
};

// Token codes the statement handlers switch on.
enum Token : int16_t {
  kNoKeyword = -1,  // the word is no keyword in the searched lists
  kOtherClass = 0,  // a keyword, but only of other classes
  kComment = 1,
  kVersion = 5,
  kAlbum = 6,
  kVolume = 7,
  kAnzVol = 8,
  kOutput = 9,
  kAddEntry = 10,
  kApp = 11,
  kFile = 12,
  kRtf = 13,
  kIffDyuv = 14,
  kDir = 15,
  kCopyright = 16,
  kAbstract = 17,
  kVolSet = 18,
  kBiblio = 19,
  kLogFile = 20,
  kEndFile = 26,
  kMount = 27,
  kMpgTrack = 28,
  kDaTrack = 29,
  kDefEntry = 30,
  kMake = 31,
  kSegment = 32,
  kPlayList = 33,
  kSelection = 34,
  kExtern = 36,
  kIntern = 37,
  kOn = 38,
  kMpa = 39,
  kMux = 40,
  kCc = 41,
  kStill = 42,
  kAudio = 43,
  kVideo = 44,
  kSystem = 45,
  kFrom = 46,
  kLength = 47,
  kWave = 48,
  kAiff = 49,
  kPcml = 50,
  kPcmm = 51,
  kPlay = 52,
  kEndPlay = 53,
  kPrevious = 54,
  kNext = 55,
  kReturn = 56,
  kPlayTime = 57,
  kWait = 58,
  kAutoWait = 59,
  kEndPlayList = 60,
  kBase = 61,
  kPalHigh = 62,
  kPalLow = 63,
  kNtscHigh = 64,
  kNtscLow = 65,
  kLoop = 67,
  kInf = 68,
  kImmediate = 69,
  kComplete = 70,
  kStart = 71,
  kStop = 72,
  kNone = 73,
  kMulti = 74,
  kMultiNum = 75,
  kItems = 76,
  kEndItems = 77,
  kTrack = 78,
  kEditEntries = 79,
  kEntries = 80,
  kBmp = 81,
  kEndMake = 82,
  kGenRtf = 83,
  kEor = 84,
  kEof = 85,
  kForm = 86,
  kEndSelection = 89,
  kJump = 90,
  kDefault = 91,
  kTimeout = 92,
  kText = 93,
  kBegin = 94,
  kAt = 95,
  kAutoPause = 96,
  kEnd = 97,
  kEndOutput = 99,
};

enum class Language : int { kNotChosen = 0, kVersion11 = 1, kVersion20 = 2 };

// Token of word for the wanted class, searching the common list and then the
// list of the language: the first equal word of the wanted class (or class 99)
// wins; kOtherClass when only other classes have it; kNoKeyword otherwise.
int ClassifyKeyword(std::string_view word, KeywordClass wanted, Language language);

}  // namespace vcd2
