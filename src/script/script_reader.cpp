#include "script/script_reader.h"

namespace vcd2 {
namespace {

constexpr int kQuote = '"';

bool IsWhiteSpace(int c) {
  return (c & 0xFF) <= 0x20;
}
bool IsLineBreak(int c) {
  return c == '\r' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool ScriptReader::ReadWord() {
  if (pushed_back_ != WordKind::kNone) {
    kind_ = pushed_back_;
    pushed_back_ = WordKind::kNone;
    return true;
  }
  word_.clear();
  if (word_too_long_) return false;
  const HexWatch hex(*this);
  int c;
  do {
    c = NextChar();
    if (c == kEnd) return false;
  } while (IsWhiteSpace(c));
  if (c == kQuote) {
    kind_ = WordKind::kQuoted;
    c = NextChar();
    if (c == kEnd) return false;
  } else {
    kind_ = WordKind::kPlain;
  }
  ended_at_line_break_ = false;
  for (; c != kEnd; c = NextChar()) {
    if (kind_ == WordKind::kQuoted && c == kQuote) break;
    if (kind_ == WordKind::kPlain && IsWhiteSpace(c)) {
      ended_at_line_break_ = IsLineBreak(c);
      break;
    }
    if (!Append(c)) return false;
  }
  if (ScriptTooLong()) {  // the bound cut the word
    word_.clear();
    return false;
  }
  return true;
}

bool ScriptReader::Append(int c) {
  if (word_.size() >= kMaxWordLength) {
    word_too_long_ = true;
    word_.clear();
    return false;
  }
  auto byte = static_cast<char>(c & 0xFF);
  if (kind_ == WordKind::kPlain && byte >= 'a' && byte <= 'z') byte = static_cast<char>(byte - 32);
  word_ += byte;
  return true;
}

ScriptReader::HexWatch::~HexWatch() {
  if (reader_.HexStarts() == starts_) return;
  switch (reader_.kind_) {
    case WordKind::kQuoted:
      reader_.hex_text_ = "\"" + reader_.word_ + "U\"";
      break;
    case WordKind::kPlain:
      reader_.hex_text_ = reader_.word_;
      break;
    case WordKind::kNone:
      reader_.hex_text_ = "the comment after " + reader_.word_;
      break;
  }
}

void ScriptReader::SkipLine() {
  kind_ = WordKind::kNone;
  if (ended_at_line_break_) return;
  const HexWatch hex(*this);
  for (int c = NextChar(); c != kEnd && !IsLineBreak(c); c = NextChar()) {
  }
}

size_t ScriptReader::ScanInteger(int32_t& value) const {
  size_t i = 0;
  const bool negative = !word_.empty() && word_[0] == '-';
  if (negative) i = 1;
  uint32_t accumulated = 0;  // wraps like the 32-bit arithmetic it stands for
  for (; i < word_.size() && IsDigit(word_[i]); ++i) {
    accumulated = accumulated * 10u + static_cast<uint32_t>(word_[i] - '0');
  }
  value = static_cast<int32_t>(negative ? 0u - accumulated : accumulated);
  return i;
}

bool ScriptReader::ParseInteger(int32_t& value) const {
  return ScanInteger(value) == word_.size();
}

int32_t ScriptReader::LeadingInteger() const {
  int32_t value = 0;
  ScanInteger(value);
  return value;
}

bool ScriptReader::ParseVersionNumber(int32_t& value) const {
  size_t i = 0;
  const bool negative = !word_.empty() && word_[0] == '-';
  if (negative) i = 1;
  uint32_t whole = 0;
  uint32_t first_decimal = 0;
  bool after_point = false;
  bool have_decimal = false;
  for (; i < word_.size(); ++i) {
    const char c = word_[i];
    if (c == '.' && !after_point) {
      after_point = true;
    } else if (!IsDigit(c)) {
      return false;
    } else if (!after_point) {
      whole = whole * 10u + static_cast<uint32_t>(c - '0');
    } else if (!have_decimal) {
      first_decimal = static_cast<uint32_t>(c - '0');
      have_decimal = true;
    }
  }
  // All digits as one number, times ten, divided by ten per decimal digit:
  // the whole part times ten plus the first decimal digit.
  const uint32_t scaled = whole * 10u + first_decimal;
  value = static_cast<int32_t>(negative ? 0u - scaled : scaled);
  return true;
}

void ScriptReader::SetLanguage(int n) {
  if (language_ != Language::kNotChosen) return;
  if (n == 1) language_ = Language::kVersion11;
  if (n == 2) language_ = Language::kVersion20;
}

}  // namespace vcd2
