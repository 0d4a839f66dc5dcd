#include "sector/sequential_writer.h"

#include <cerrno>

#include "base/error_reporter.h"
#include "base/file_error.h"

namespace vcd2 {

SequentialWriter::SequentialWriter(std::FILE* image) : image_(image) {
  for (Block& block : blocks_) block.sectors.resize(kBlockSectors);
  thread_ = std::thread(&SequentialWriter::WriteBlocks, this);
}

SequentialWriter::~SequentialWriter() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queued_ == nullptr; });
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

Status SequentialWriter::Write(int32_t lba, RawSector& sector) {
  Block& block = blocks_[filling_];
  if (block.count == 0) block.first_lba = lba;
  block.sectors[block.count++] = sector;
  return block.count < kBlockSectors || Hand();
}

// Passes the filled block on once the thread is done with the other one,
// which is filled next.
Status SequentialWriter::Hand() {
  std::unique_lock lock(mutex_);
  if (!WaitAndCheck(lock)) return false;
  queued_ = &blocks_[filling_];
  filling_ ^= 1;
  blocks_[filling_].count = 0;
  lock.unlock();
  changed_.notify_all();
  return true;
}

Status SequentialWriter::Flush() {
  if (blocks_[filling_].count != 0 && !Hand()) return false;
  std::unique_lock lock(mutex_);
  return WaitAndCheck(lock);
}

// Waits until no block is queued; a failed write is reported once.
Status SequentialWriter::WaitAndCheck(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [this] { return queued_ == nullptr; });
  if (!failed_) return true;
  if (error_ >= 0) ReportWriteFailure(error_, image_);
  error_ = -1;
  return false;
}

void SequentialWriter::WriteBlocks() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return queued_ != nullptr || stopping_; });
    if (queued_ == nullptr) return;
    Block& block = *queued_;
    lock.unlock();
    const bool written = WriteBlock(block);
    const int error = errno;
    lock.lock();
    if (!written) {
      failed_ = true;
      error_ = error;
    }
    queued_ = nullptr;
    changed_.notify_all();
  }
}

bool SequentialWriter::WriteBlock(Block& block) {
  for (size_t i = 0; i < block.count; ++i) {
    FinishSector(block.sectors[i], block.first_lba + static_cast<int32_t>(i));
  }
  errno = 0;
  return std::fwrite(block.sectors.data(), kRawSectorSize, block.count, image_) == block.count;
}

}  // namespace vcd2
