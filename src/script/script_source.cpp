#include "script/script_source.h"

namespace vcd2 {
namespace {

constexpr uint8_t kLineFeed = 0x0A;
constexpr uint8_t kCarriageReturn = 0x0D;
constexpr int kQuote = '"';

int HexDigit(int byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
  return -1;
}

}  // namespace

int ScriptSource::NextByte() {
  if (position_ >= fill_) {
    if (too_long_) return kEnd;
    fill_ = static_cast<uint32_t>(std::fread(buffer_.data(), 1, buffer_.size(), file_));
    position_ = 0;
    read_ += fill_;
    if (read_ > kMaxScriptSize) {
      too_long_ = true;
      fill_ = 0;
    }
    if (fill_ == 0) return kEnd;
  }
  const uint8_t byte = buffer_[position_++];
  CountLineBreak(byte);
  return byte;
}

void ScriptSource::CountLineBreak(uint8_t byte) {
  if (byte != kLineFeed && byte != kCarriageReturn) {
    previous_ = byte;
    return;
  }
  const uint8_t partner = byte == kLineFeed ? kCarriageReturn : kLineFeed;
  if (previous_ == partner) {
    previous_ = ' ';  // the second half of a pair
    return;
  }
  ++line_;
  previous_ = byte;
}

int ScriptSource::NextChar() {
  if (hex_mode_) return NextHexChar();
  int c = pending_ != 0 ? pending_ : NextByte();
  pending_ = 0;
  if (c != 'U') return c;
  const int next = NextByte();
  if (next == kQuote) {
    hex_mode_ = true;
    hex_line_ = line_;
    ++hex_starts_;
    return kQuote;
  }
  pending_ = next == kEnd ? 0 : next;
  return c;
}

// Four hex digits give one 16-bit code; a quote in the place of the first
// digit closes the string. The code FFFF reads as the end, like a non-digit.
int ScriptSource::NextHexChar() {
  int code = 0;
  for (int i = 0; i < 4; ++i) {
    const int byte = NextByte();
    if (i == 0 && byte == kQuote) {
      hex_mode_ = false;
      return kQuote;
    }
    const int digit = HexDigit(byte);
    if (digit < 0) return kEnd;
    code = code * 16 + digit;
  }
  return code == 0xFFFF ? kEnd : code;
}

}  // namespace vcd2
