#include "verify.h"

int VerifyFiles(const std::vector<std::string>& files, BuilderCallbacks& callbacks,
                ProgressCallback progress) {
  std::vector<const char*> more;
  for (size_t i = 1; i < files.size(); ++i) more.push_back(files[i].c_str());
  more.push_back(nullptr);
  callbacks.mode = VCD2_MODE_VERIFY;
  callbacks.verify_files = more.data();
  VCD2SetCallbacks(&callbacks);
  const int32_t result = VCD2DiscBuilder(nullptr, files.front().c_str(), progress);
  callbacks.verify_files = nullptr;
  return result;
}
