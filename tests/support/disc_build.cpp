#include "support/disc_build.h"

#include <filesystem>
#include <fstream>

#include "vcd2/vcd2.h"

namespace vcd2::test {
namespace {

DiscBuild* current = nullptr;
std::string stop_text;

int32_t OnProgress(int32_t percent, const char* text) {
  if (percent >= 0) return 1;
  current->statuses.push_back(text);
  current->events.push_back(text);
  return !stop_text.empty() && stop_text == text ? 0 : 1;
}

void OnMessage(const char* text) {
  current->messages.push_back(text);
  current->events.push_back(std::string("! ") + text);
}

void OnSummary(const char* text) {
  current->summary = text;
}

}  // namespace

DiscBuild RunScript(const std::string& path, const std::string& stop_at, const char* disc_image,
                    const BuilderCallbacks* extra) {
  DiscBuild build;
  current = &build;
  stop_text = stop_at;
  static BuilderCallbacks callbacks{};
  callbacks = extra != nullptr ? *extra : BuilderCallbacks{};
  callbacks.show_message = OnMessage;
  callbacks.show_summary = OnSummary;
  callbacks.disc_image = disc_image;
  VCD2SetCallbacks(&callbacks);
  build.result = VCD2DiscBuilder(nullptr, path.c_str(), OnProgress);
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

int64_t ImageSectors(const std::string& path) {
  return static_cast<int64_t>(std::filesystem::file_size(path) / kRawSectorSize);
}

}  // namespace vcd2::test
