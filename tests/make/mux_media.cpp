#include "make/mux_media.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "make/mux_job.h"
#include "model/items.h"
#include "support/message_capture.h"

namespace vcd2::test {

std::string MuxMedia::Still(int width, int height, const std::string& rate, size_t size) {
  const std::string dimensions = std::to_string(width) + "x" + std::to_string(height);
  std::string name = dimensions + "r" + rate + "s" + std::to_string(size) + ".m1v";
  std::replace(name.begin(), name.end(), '/', '_');
  const std::string path = Path(name);
  if (std::filesystem::exists(path)) return path;
  Shell("ffmpeg -y -f lavfi -i testsrc=size=" + dimensions + ":rate=" + rate +
        " -frames:v 1 -c:v mpeg1video -f mpeg1video '" + path + "'");
  std::vector<uint8_t> bytes = ReadBytes(path);
  bytes.resize(std::max(size, bytes.size() + 4), 0);
  const uint8_t end_code[] = {0x00, 0x00, 0x01, 0xB7};
  std::copy(std::begin(end_code), std::end(end_code), bytes.end() - 4);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  return path;
}

std::string MuxMedia::Audio(double seconds, int channels, int kbits, int rate) {
  const std::string path = Path(std::to_string(seconds) + "c" + std::to_string(channels) + "b" +
                                std::to_string(kbits) + "r" + std::to_string(rate) + ".mp2");
  if (std::filesystem::exists(path)) return path;
  Shell("ffmpeg -y -f lavfi -i sine=frequency=440:duration=" + std::to_string(seconds) + " -ac " +
        std::to_string(channels) + " -ar " + std::to_string(rate) + " -c:a mp2 -b:a " +
        std::to_string(kbits) + "k '" + path + "'");
  return path;
}

MuxRun RunMuxJob(const std::string& target, const std::vector<MuxSource>& sources) {
  std::vector<std::unique_ptr<FileRef>> list;
  for (const MuxSource& source : sources) {
    auto item = std::make_unique<MakeSourceItem>(FileRef(source.path), source.stream);
    item->SetFileType(source.type);
    item->length = source.length;
    list.push_back(std::move(item));
  }
  MuxRun run;
  MessageCapture capture;
  {
    MuxJob job(target, list);
    run.ok = static_cast<bool>(job.RunMux());
  }
  run.messages = capture.Messages();
  if (run.ok) run.packs = ParsePacks(ReadBytes(target));
  return run;
}

}  // namespace vcd2::test
