#include "support/disc_build.h"

#include <filesystem>
#include <fstream>

#include "vcd2/vcd2.h"

namespace vcd2::test {
namespace {

DiscBuild* current = nullptr;
std::string stop_text;

}  // namespace

DiscBuild RunScript(const std::string& path, const std::string& stop_at, const char* disc_image,
                    const BuilderCallbacks* extra) {
  DiscBuild build;
  current = &build;
  stop_text = stop_at;
  static BuilderCallbacks callbacks{};
  callbacks = extra != nullptr ? *extra : BuilderCallbacks{};
  callbacks.show_message = [](const char* text) { current->messages.push_back(text); };
  callbacks.show_summary = [](const char* text) { current->summary = text; };
  callbacks.show_warning = [](const char* text) {
    const bool compliance = std::string(text).find("not Video CD compliant") != std::string::npos;
    (compliance ? current->compliance_warnings : current->warnings).push_back(text);
  };
  callbacks.disc_image = disc_image;
  VCD2SetCallbacks(&callbacks);
  build.result = VCD2DiscBuilder(nullptr, path.c_str(), [](int32_t percent, const char* text) {
    if (percent >= 0) return 1;
    current->last_status = text;
    return stop_text.empty() || stop_text != text ? 1 : 0;
  });
  VCD2SetCallbacks(nullptr);
  current = nullptr;
  return build;
}

DiscBuild BuildDisc(const TempDir& dir, const std::string& body, const std::string& stop_at,
                    const char* disc_image, const BuilderCallbacks* extra) {
  const std::string script =
      "VERSION 2.0\nMOUNT INTERN DIR \"" + dir.Path().string() + "\"\n" + body + "\nENDFILE\n";
  return RunScript(dir.Write("disc.vcd", script), stop_at, disc_image, extra);
}

RawSector ReadImageSector(const std::string& path, int32_t lba) {
  RawSector sector{};
  std::ifstream file(path, std::ios::binary);
  file.seekg(ImagePosition(lba));
  file.read(reinterpret_cast<char*>(sector.data()), sector.size());
  return sector;
}

int32_t DiscAddress(const uint8_t* msf) {
  const auto bcd = [&](int i) { return (msf[i] >> 4) * 10 + (msf[i] & 15); };
  return bcd(0) * 4500 + bcd(1) * 75 + bcd(2) - 150;
}

int64_t ImageSectors(const std::string& path) {
  return static_cast<int64_t>(std::filesystem::file_size(path) / kRawSectorSize);
}

std::vector<uint8_t> ReadVolumeFile(const std::string& image, uint32_t lsn, uint32_t size) {
  std::vector<uint8_t> bytes;
  for (uint32_t i = 0; i * kForm1DataSize < size; ++i) {
    const RawSector sector = ReadImageSector(image, static_cast<int32_t>(lsn + i));
    bytes.insert(bytes.end(), sector.begin() + kUserDataOffset,
                 sector.begin() + kUserDataOffset + kForm1DataSize);
  }
  bytes.resize(size);
  return bytes;
}

std::vector<uint8_t> PackStream(const std::string& image, int32_t first, int32_t count) {
  std::vector<uint8_t> stream;
  for (int32_t lba = first; lba < first + count; ++lba) {
    const RawSector sector = ReadImageSector(image, lba);
    const uint8_t* pack = sector.data() + kUserDataOffset;
    if ((sector[18] & 0x60) != 0x60 || pack[0] != 0 || pack[2] != 1) continue;
    stream.insert(stream.end(), pack, pack + ((sector[18] & 0x04) ? 2304 : 2324));
  }
  return stream;
}

}  // namespace vcd2::test
