#include "make/mux_media.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "make/mux_job.h"
#include "model/items.h"
#include "support/message_capture.h"

namespace vcd2::test {

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

std::string Capture(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  pclose(pipe);
  return output;
}

std::string MuxMedia::Still(int width, int height, const std::string& rate,
                            const std::string& quality) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  std::string name = "still" + size + "r" + rate + "q" + quality + ".m1v";
  std::replace(name.begin(), name.end(), '/', '_');
  const std::string path = Path(name);
  if (std::filesystem::exists(path)) return path;
  Shell("ffmpeg -y -f lavfi -i testsrc=size=" + size + ":rate=" + rate +
        " -frames:v 1 -c:v mpeg1video -q:v " + quality + " -f mpeg1video '" + path + "'");
  std::ofstream(path, std::ios::binary | std::ios::app) << std::string("\0\0\1\xB7", 4);
  return path;
}

std::string MuxMedia::Audio(double seconds, int channels, int kbits, int rate) {
  const std::string path = Path("sine" + std::to_string(seconds) + "c" + std::to_string(channels) +
                                "b" + std::to_string(kbits) + "r" + std::to_string(rate) + ".mp2");
  if (std::filesystem::exists(path)) return path;
  Shell("ffmpeg -y -f lavfi -i sine=frequency=440:duration=" + std::to_string(seconds) + " -ac " +
        std::to_string(channels) + " -ar " + std::to_string(rate) + " -c:a mp2 -b:a " +
        std::to_string(kbits) + "k '" + path + "'");
  return path;
}

std::vector<std::unique_ptr<FileRef>> MuxSources::List() const {
  std::vector<std::unique_ptr<FileRef>> list;
  for (const Spec& spec : specs_) {
    auto item = std::make_unique<MakeSourceItem>(FileRef(spec.path), spec.stream);
    item->SetFileType(spec.type);
    item->length = spec.length;
    list.push_back(std::move(item));
  }
  return list;
}

MuxRun RunMuxJob(const std::string& target, const MuxSources& sources) {
  MuxRun run;
  MessageCapture capture;
  {
    MuxJob job(target, sources.List());
    run.ok = static_cast<bool>(job.RunMux());
  }
  run.messages = capture.Messages();
  if (run.ok) run.packs = ParsePacks(ReadBytes(target));
  return run;
}

}  // namespace vcd2::test
