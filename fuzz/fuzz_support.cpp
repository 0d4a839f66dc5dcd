#include "fuzz_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "base/error_reporter.h"

namespace vcd2::fuzz {
namespace {

class PrivateDirectory {
 public:
  PrivateDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vcd2-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~PrivateDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

void Quiet() {
  static const bool quiet = [] {
    if (std::getenv("VCD2_FUZZ_VERBOSE") == nullptr) {
      Reporter().SetSink([](const std::string&) {});
      Reporter().SetWarningSink([](const std::string&) {});
    }
    return true;
  }();
  (void)quiet;
}

const std::string& WorkDir() {
  static const PrivateDirectory directory;
  return directory.Path();
}

UniqueFile OpenBytes(const uint8_t* data, size_t size) {
  return UniqueFile(size == 0 ? std::tmpfile() : fmemopen(const_cast<uint8_t*>(data), size, "rb"));
}

UniqueFile AttachScript(VcdProject& project, const uint8_t* data, size_t size) {
  UniqueFile script = OpenBytes(data, size);
  project.script_path = "fuzz.vcd";
  project.script_file = script.get();
  project.parse_enabled = 1;
  return script;
}

std::string WriteInput(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = WorkDir() + "/" + name;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

}  // namespace vcd2::fuzz
