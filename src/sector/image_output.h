#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "base/status.h"
#include "sector/sector_layout.h"
#include "sector/sector_sink.h"

namespace vcd2 {

// The sequential writer of the data track image: sectors are assembled in a
// 256 KiB buffer and written in large blocks, in increasing LBA order.
class ImageOutput : public SectorSink {
 public:
  static constexpr size_t kBufferSize = 0x40000;

  ImageOutput() = default;
  ImageOutput(const ImageOutput&) = delete;
  ImageOutput& operator=(const ImageOutput&) = delete;
  ~ImageOutput() override;

  // Creates the file anew; a failure shows at the first flush, as a write
  // failure.
  // name stands for the file in messages (path when empty).
  void Open(const std::string& path, const std::string& name = "");

  // Form 1 sectors; bytes beyond data read as zero.
  Status AppendSector(std::span<const uint8_t> data, int32_t lba, uint32_t subheader_word) override;
  Status AppendFileSectors(std::span<const uint8_t> data, int32_t lba, uint32_t size,
                           uint32_t subheader_word, uint32_t last_subheader_word) override;
  // Appends a prepared sector whose EDC is already computed and which has no
  // ECC (a Form 2 sector): sync, header address and mode are stored.
  Status AppendPrepared(RawSector& sector, int32_t lba);

  // Writes out the buffered sectors.
  Status FlushImageBuffer();
  // Flushes and closes; true when everything reached the file.
  Status Close();

 private:
  Status Append(const RawSector& sector);
  // Reports a failed write (error 0: a short count) and stays failed.
  Status Fail(int error);

  std::string name_;
  std::FILE* file_ = nullptr;
  int open_error_ = 0;
  bool failed_ = false;
  std::vector<uint8_t> buffer_;
  RawSector work_{};
};

// A subheader word: file number, channel and submode in the low three bytes.
constexpr uint32_t SubheaderWord(uint8_t file, uint8_t channel, uint8_t submode) {
  return uint32_t{file} | uint32_t{channel} << 8 | uint32_t{submode} << 16;
}

}  // namespace vcd2
