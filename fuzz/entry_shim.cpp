// Runs a fuzz harness over the files named on the command line, and over
// every file of the directories named there, so the harness builds and
// replays its corpus without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool Replay(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

// Paths are made absolute first: a harness may change the directory.
int main(int argc, char** argv) {
  std::vector<std::filesystem::path> paths;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path named = std::filesystem::absolute(argv[i]);
    if (!std::filesystem::is_directory(named)) {
      paths.push_back(named);
      continue;
    }
    for (const auto& entry : std::filesystem::directory_iterator(named)) {
      if (entry.is_regular_file()) paths.push_back(entry.path());
    }
  }
  for (const auto& path : paths) {
    if (!Replay(path)) return 1;
  }
  std::printf("replayed %zu inputs\n", paths.size());
  return 0;
}
