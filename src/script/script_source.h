#pragma once

#include <array>
#include <cstdint>
#include <cstdio>

namespace vcd2 {

// Delivers a script's bytes in 512-byte blocks, counts its lines and applies
// the hex-string rule: an upper-case U directly before a double quote opens
// a string whose characters are written as four hex digits each.
class ScriptSource {
 public:
  static constexpr int kEnd = -1;
  // Most bytes read from a script; reading ends there as at the end of the file.
  static constexpr uint64_t kMaxScriptSize = 16 * 1024 * 1024;

  explicit ScriptSource(std::FILE* file) : file_(file) {}

  // The next byte (0..255), or kEnd. CR LF and LF CR count as one line break,
  // any other CR or LF as one each.
  int NextByte();
  // The next character after the hex-string rule: a byte, a 16-bit code in
  // hex mode, or kEnd.
  int NextChar();

  uint32_t Line() const { return line_; }
  // True once the script went on beyond kMaxScriptSize.
  bool ScriptTooLong() const { return too_long_; }
  // A hex string is open, and the line on which the latest one began; how
  // many began so far.
  bool InHexMode() const { return hex_mode_; }
  uint32_t HexStartLine() const { return hex_line_; }
  uint32_t HexStarts() const { return hex_starts_; }

 private:
  static constexpr size_t kBlockSize = 512;

  int NextHexChar();
  void CountLineBreak(uint8_t byte);

  std::FILE* file_;
  std::array<uint8_t, kBlockSize> buffer_{};
  uint32_t fill_ = 0;
  uint32_t position_ = 0;
  uint64_t read_ = 0;
  bool too_long_ = false;
  uint32_t line_ = 1;
  uint8_t previous_ = ' ';
  int pending_ = 0;
  bool hex_mode_ = false;
  uint32_t hex_line_ = 0;
  uint32_t hex_starts_ = 0;
};

}  // namespace vcd2
