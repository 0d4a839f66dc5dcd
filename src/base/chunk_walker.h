#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>

#include "base/byte_order.h"

namespace vcd2 {

// RIFF stores its numbers least significant byte first, IFF (FORM, CAT,
// AIFF) most significant first.
enum class ChunkOrder { kRiff, kIff };

// A four-character identifier or form type.
using FourCc = std::array<char, 4>;

inline bool IsFourCc(const FourCc& code, const char (&name)[5]) {
  return std::memcmp(code.data(), name, 4) == 0;
}

// An 8-byte chunk header: identifier and body length as stored.
struct ChunkHeader {
  FourCc id{};
  uint32_t size = 0;
  int64_t body = 0;  // file position of the body

  bool Is(const char (&name)[5]) const { return IsFourCc(id, name); }
  int64_t End() const { return body + size; }
};

// Walks the chunks of a RIFF or IFF file. Bodies are padded to an even
// length. A stored length is used only after it was checked against the end
// of the file (and of the enclosing chunk); one running past it ends the walk,
// though Find still gives it when it is the chunk sought.
template <ChunkOrder kOrder>
class ChunkWalker {
 public:
  static constexpr int64_t kHeaderSize = 8;

  explicit ChunkWalker(std::FILE* file) : file_(file) {
    const off_t here = ftello(file);
    if (here >= 0 && fseeko(file, 0, SEEK_END) == 0) file_size_ = ftello(file);
    if (here < 0 || fseeko(file, here, SEEK_SET) != 0) file_size_ = 0;
  }

  static uint16_t Load16(const uint8_t* p) {
    if constexpr (kOrder == ChunkOrder::kIff) return LoadBigEndian16(p);
    return LoadLittleEndian16(p);
  }
  static uint32_t Load32(const uint8_t* p) {
    if constexpr (kOrder == ChunkOrder::kIff) return LoadBigEndian32(p);
    return LoadLittleEndian32(p);
  }

  int64_t FileSize() const { return file_size_; }
  int64_t Position() const { return ftello(file_); }

  // The header at the current position with its length unchecked; none on a
  // short read.
  std::optional<ChunkHeader> ReadHeader() {
    const int64_t at = Position();
    uint8_t bytes[kHeaderSize];
    if (at < 0 || std::fread(bytes, 1, sizeof bytes, file_) != sizeof bytes) return std::nullopt;
    ChunkHeader header;
    std::memcpy(header.id.data(), bytes, 4);
    header.size = Load32(bytes + 4);
    header.body = at + kHeaderSize;
    return header;
  }

  // The form type that opens the body of a RIFF, FORM or CAT chunk.
  std::optional<FourCc> ReadType() {
    FourCc type;
    if (std::fread(type.data(), 1, type.size(), file_) != type.size()) return std::nullopt;
    return type;
  }

  // True when the chunk's body ends within the file.
  bool Fits(const ChunkHeader& chunk) const { return chunk.End() <= file_size_; }

  // Moves past the chunk's body and its pad byte.
  bool Skip(const ChunkHeader& chunk) {
    return Fits(chunk) && fseeko(file_, chunk.End() + (chunk.size & 1), SEEK_SET) == 0;
  }

  // From the current position, the first chunk named `id` within `end`,
  // passing over the others. The chunk found may run past `end` (a file cut
  // short, or a length a writer could not fill in); the caller decides.
  std::optional<ChunkHeader> Find(const char (&id)[5], int64_t end) {
    for (int64_t at = Position(); at >= 0 && at + kHeaderSize <= end; at = Position()) {
      const auto chunk = ReadHeader();
      if (!chunk) return std::nullopt;
      if (chunk->Is(id)) return chunk;
      if (!Fits(*chunk) || chunk->End() > end || !Skip(*chunk)) return std::nullopt;
    }
    return std::nullopt;
  }

  // Reads the first out.size() bytes of the chunk's body, which must hold
  // them and have them within the file.
  bool ReadBody(const ChunkHeader& chunk, std::span<uint8_t> out) {
    return chunk.size >= out.size() &&
           chunk.body + static_cast<int64_t>(out.size()) <= file_size_ &&
           fseeko(file_, chunk.body, SEEK_SET) == 0 &&
           std::fread(out.data(), 1, out.size(), file_) == out.size();
  }

 private:
  std::FILE* file_;
  int64_t file_size_ = 0;
};

using RiffWalker = ChunkWalker<ChunkOrder::kRiff>;
using IffWalker = ChunkWalker<ChunkOrder::kIff>;

}  // namespace vcd2
