#include "make/picture_header.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "base/byte_order.h"
#include "base/unique_file.h"

namespace vcd2 {
namespace {

constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kPngWidth = 16;  // in the IHDR chunk that follows the signature
constexpr size_t kBmpInfoSize = 14;
constexpr size_t kBmpWidth = 18;
constexpr uint32_t kBmpCoreInfo = 12;  // OS/2 header with 16-bit sizes
constexpr size_t kHeadSize = 26;

// JPEG markers: start of image, the frame headers (all but DHT, JPG and
// DAC in C0..CF), markers without a segment, and those that end the search.
constexpr uint8_t kJpegStart = 0xD8;
constexpr uint8_t kJpegEnd = 0xD9;
constexpr uint8_t kJpegScan = 0xDA;

bool IsFrameHeader(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool IsStandalone(uint8_t marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// The size in the first frame header; zeros when there is none before the
// scan data.
void ReadJpegSize(std::FILE* file, PictureHeader& header) {
  std::array<uint8_t, 7> segment{};
  for (;;) {
    int byte = std::fgetc(file);
    if (byte != 0xFF) return;
    while (byte == 0xFF) byte = std::fgetc(file);
    if (byte == EOF) return;
    const auto marker = static_cast<uint8_t>(byte);
    if (IsStandalone(marker)) continue;
    if (marker == kJpegEnd || marker == kJpegScan || marker == kJpegStart) return;
    if (std::fread(segment.data(), 1, 2, file) != 2) return;
    const uint16_t length = LoadBigEndian16(segment.data());
    if (length < 2) return;
    if (IsFrameHeader(marker)) {
      if (std::fread(segment.data() + 2, 1, 5, file) != 5) return;
      header.height = LoadBigEndian16(segment.data() + 3);
      header.width = LoadBigEndian16(segment.data() + 5);
      return;
    }
    if (std::fseek(file, length - 2, SEEK_CUR) != 0) return;
  }
}

// A BMP's height is negative when its rows run top down.
void ReadBmpSize(const uint8_t* head, PictureHeader& header) {
  if (LoadLittleEndian32(head + kBmpInfoSize) == kBmpCoreInfo) {
    header.width = LoadLittleEndian16(head + kBmpWidth);
    header.height = LoadLittleEndian16(head + kBmpWidth + 2);
    return;
  }
  const auto width = static_cast<int32_t>(LoadLittleEndian32(head + kBmpWidth));
  const auto height = static_cast<int32_t>(LoadLittleEndian32(head + kBmpWidth + 4));
  header.width = width > 0 ? static_cast<uint32_t>(width) : 0;
  header.height = height == INT32_MIN ? 0 : static_cast<uint32_t>(height < 0 ? -height : height);
}

}  // namespace

std::optional<PictureHeader> AcceptPicture(const std::string& path, std::string& why) {
  const UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    why = std::string("it cannot be read: ") + std::strerror(errno);
    return std::nullopt;
  }
  std::array<uint8_t, kHeadSize> head{};
  const size_t read = std::fread(head.data(), 1, head.size(), file.get());
  PictureHeader header{nullptr, 0, 0};
  if (read >= sizeof kPngSignature &&
      std::equal(std::begin(kPngSignature), std::end(kPngSignature), head.begin())) {
    header.format = "PNG";
    if (read == kHeadSize && std::memcmp(head.data() + 12, "IHDR", 4) == 0) {
      header.width = LoadBigEndian32(head.data() + kPngWidth);
      header.height = LoadBigEndian32(head.data() + kPngWidth + 4);
    }
  } else if (read >= 2 && head[0] == 'B' && head[1] == 'M') {
    header.format = "BMP";
    if (read == kHeadSize) ReadBmpSize(head.data(), header);
  } else if (read >= 3 && head[0] == 0xFF && head[1] == kJpegStart && head[2] == 0xFF) {
    header.format = "JPEG";
    if (std::fseek(file.get(), 2, SEEK_SET) == 0) ReadJpegSize(file.get(), header);
  } else {
    why = "it is no BMP, PNG or JPEG picture";
    return std::nullopt;
  }
  if (header.width == 0 || header.height == 0) {
    why = std::string("its ") + header.format + " header gives no picture size";
    return std::nullopt;
  }
  if (uint64_t{header.width} * header.height > kMaxPicturePixels) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "it is %" PRIu32 " x %" PRIu32 " pixels; pictures of up to %" PRIu64
                  " pixels (4096 x 4096) are taken",
                  header.width, header.height, kMaxPicturePixels);
    why = text;
    return std::nullopt;
  }
  return header;
}

}  // namespace vcd2
