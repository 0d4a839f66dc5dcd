#pragma once

#include <array>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "sector/sector_writer.h"

namespace vcd2 {

// Writes the sectors of a track image in order, in blocks of about 1 MiB.
// Sectors must come in consecutive LBA order. A second thread finishes (EDC,
// header) and writes one block while the caller fills the next; a failed
// write is reported by the call that learns of it.
class SequentialWriter : public SectorWriter {
 public:
  static constexpr size_t kBlockSectors = 446;  // about 1 MiB

  explicit SequentialWriter(std::FILE* image);
  SequentialWriter(const SequentialWriter&) = delete;
  SequentialWriter& operator=(const SequentialWriter&) = delete;
  ~SequentialWriter() override;

  Status Write(int32_t lba, RawSector& sector) override;
  // Writes what is buffered and waits for it; reports a failed write.
  Status Flush();

 private:
  struct Block {
    std::vector<RawSector> sectors;
    size_t count = 0;
    int32_t first_lba = 0;
  };

  Status Hand();
  Status WaitAndCheck(std::unique_lock<std::mutex>& lock);
  void WriteBlocks();
  bool WriteBlock(Block& block);

  std::FILE* image_;
  std::array<Block, 2> blocks_;
  size_t filling_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  Block* queued_ = nullptr;  // with the writing thread until written
  bool stopping_ = false;
  bool failed_ = false;
  int error_ = 0;
  std::thread thread_;
};

}  // namespace vcd2
