#include "base/codec_module.h"

#include <dlfcn.h>

namespace vcd2 {
namespace {

constexpr char kModuleFile[] = "codecs.so";

// The module sits in vcd2/ beside the shared library that holds this code;
// the static library of the tests takes it from the build tree.
std::string ModulePath() {
#ifdef VCD2_CODEC_MODULE_DIR
  return std::string(VCD2_CODEC_MODULE_DIR) + "/" + kModuleFile;
#else
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&CodecTable), &info) == 0 || info.dli_fname == nullptr) {
    return std::string("vcd2/") + kModuleFile;
  }
  const std::string library = info.dli_fname;
  const size_t slash = library.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : library.substr(0, slash);
  return folder + "/vcd2/" + kModuleFile;
#endif
}

std::string LastError() {
  const char* error = dlerror();
  return error != nullptr ? error : "unknown error";
}

struct LoadedModule {
  CodecEntry entry = nullptr;
  std::string error;
};

LoadedModule Load() {
  const std::string path = ModulePath();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return {nullptr, LastError()};
  void* entry = dlsym(handle, kCodecEntry);
  if (entry == nullptr) return {nullptr, LastError()};
  return {reinterpret_cast<CodecEntry>(entry), {}};
}

}  // namespace

const void* CodecTable(CodecPart part, uint32_t version, std::string& error) {
  static const LoadedModule module = Load();
  if (module.entry == nullptr) {
    error = module.error;
    return nullptr;
  }
  const void* table = module.entry(part, version);
  if (table == nullptr) error = ModulePath() + ": built for another version of libvcd2";
  return table;
}

}  // namespace vcd2
