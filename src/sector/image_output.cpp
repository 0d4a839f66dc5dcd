#include "sector/image_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/error_reporter.h"
#include "base/file_error.h"
#include "sector/sector.h"

namespace vcd2 {

ImageOutput::~ImageOutput() {
  if (file_ != nullptr) std::fclose(file_);
}

void ImageOutput::Open(const std::string& path, const std::string& name) {
  name_ = name.empty() ? path : name;
  file_ = std::fopen(path.c_str(), "wb");
  open_error_ = file_ == nullptr ? errno : 0;
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IONBF, 0);  // one write per flush
  buffer_.clear();
  buffer_.reserve(kBufferSize);
}

Status ImageOutput::AppendSector(std::span<const uint8_t> data, int32_t lba,
                                 uint32_t subheader_word) {
  work_.fill(0);
  std::copy_n(data.begin(), std::min(data.size(), kForm1DataSize), work_.begin() + kUserDataOffset);
  const auto mode = static_cast<uint8_t>((subheader_word >> 16) & ~uint32_t{submode::kForm2});
  SetSubheader(work_, {static_cast<uint8_t>(subheader_word),
                       static_cast<uint8_t>(subheader_word >> 8), mode, 0});  // always Form 1
  FinishSector(work_, lba);
  return Append(work_);
}

Status ImageOutput::AppendFileSectors(std::span<const uint8_t> data, int32_t lba, uint32_t size,
                                      uint32_t subheader_word, uint32_t last_subheader_word) {
  const uint32_t sectors = std::max<uint32_t>(1, (size + kForm1DataSize - 1) / kForm1DataSize);
  for (uint32_t i = 0; i < sectors; ++i) {
    const size_t offset = size_t{i} * kForm1DataSize;
    const size_t length = std::min<size_t>(kForm1DataSize, size - std::min<size_t>(size, offset));
    const auto piece = offset < data.size()
                           ? data.subspan(offset, std::min(length, data.size() - offset))
                           : std::span<const uint8_t>();
    const uint32_t word = i + 1 == sectors ? last_subheader_word : subheader_word;
    if (!AppendSector(piece, lba + static_cast<int32_t>(i), word)) return false;
  }
  return true;
}

Status ImageOutput::AppendPrepared(RawSector& sector, int32_t lba) {
  StoreSyncAndHeader(sector, lba);
  return Append(sector);
}

Status ImageOutput::Append(const RawSector& sector) {
  if (buffer_.size() + kRawSectorSize > kBufferSize && !FlushImageBuffer()) return false;
  buffer_.insert(buffer_.end(), sector.begin(), sector.end());
  return true;
}

// The first failure is reported; the output then stays failed and silent.
// A failed call names its error code and, on the next line, the system's
// words; a short count without an error means the disk is full.
Status ImageOutput::FlushImageBuffer() {
  if (failed_) return false;
  if (file_ == nullptr) return Fail(open_error_);
  errno = 0;
  const size_t written = std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
  if (written != buffer_.size()) {
    const int error = errno;
    std::fclose(file_);
    file_ = nullptr;
    return Fail(error);
  }
  buffer_.clear();
  return true;
}

Status ImageOutput::Fail(int error) {
  if (error != 0) {
    ReportWriteFailure(error, name_);
  } else {
    ReportError("Disk full writing image file.%s", FileErrorLine(name_, ENOSPC).c_str());
  }
  failed_ = true;
  return false;
}

Status ImageOutput::Close() {
  const bool flushed = static_cast<bool>(FlushImageBuffer());
  const bool closed = file_ != nullptr && std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed;
}

}  // namespace vcd2
