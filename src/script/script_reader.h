#pragma once

#include <cstdint>
#include <string>

#include "script/keywords.h"
#include "script/script_source.h"

namespace vcd2 {

enum class WordKind : int { kNone = 0, kQuoted = 1, kPlain = 2 };

// Splits a script into words and quoted strings and classifies them against
// the keyword lists of the chosen language.
class ScriptReader : public ScriptSource {
 public:
  // Longest word kept; a longer one ends the script as if the file ended.
  static constexpr size_t kMaxWordLength = 64 * 1024;

  using ScriptSource::ScriptSource;

  // Reads the next word into the current word; false at the end of the file.
  bool ReadWord();
  // Makes the next ReadWord deliver the current word again, with its kind.
  void UngetWord() { pushed_back_ = kind_; }
  // Discards the rest of the current line; nothing when the last word ended
  // at a line break, so a comment never takes in the next line.
  void SkipLine();

  int ClassifyWord(KeywordClass wanted) const { return ClassifyKeyword(word_, wanted, language_); }
  // A signed decimal integer; an empty word and "-" alone give 0.
  bool ParseInteger(int32_t& value) const;
  // The value of the digits at the start of the word, 0 when there are none.
  int32_t LeadingInteger() const;
  // A decimal number scaled by ten and truncated: 2.0 gives 20, 1.15 gives 11.
  bool ParseVersionNumber(int32_t& value) const;
  // Chooses the language once; later calls change nothing.
  void SetLanguage(int n);

  const std::string& Word() const { return word_; }
  WordKind Kind() const { return kind_; }
  bool IsQuoted() const { return kind_ == WordKind::kQuoted; }
  Language GetLanguage() const { return language_; }
  // True once a word longer than kMaxWordLength ended the script.
  bool WordTooLong() const { return word_too_long_; }
  // The text in which the latest hex string began: "TEXTU\"" for a quoted
  // word, the word for a plain one, "the comment after REM" in a comment.
  const std::string& HexStartText() const { return hex_text_; }

 private:
  // Remembers the text of a word or comment in which a hex string began.
  class HexWatch {
   public:
    explicit HexWatch(ScriptReader& reader) : reader_(reader), starts_(reader.HexStarts()) {}
    ~HexWatch();
    HexWatch(const HexWatch&) = delete;
    HexWatch& operator=(const HexWatch&) = delete;

   private:
    ScriptReader& reader_;
    uint32_t starts_;
  };

  bool Append(int c);
  // Parses [-]digits from the start; returns where the digits ended.
  size_t ScanInteger(int32_t& value) const;

  std::string word_;
  WordKind kind_ = WordKind::kNone;
  WordKind pushed_back_ = WordKind::kNone;
  Language language_ = Language::kNotChosen;
  bool ended_at_line_break_ = false;
  bool word_too_long_ = false;
  std::string hex_text_;
};

}  // namespace vcd2
