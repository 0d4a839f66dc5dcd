#include "inspect.h"

int InspectFiles(const std::vector<std::string>& files, BuilderCallbacks& callbacks) {
  callbacks.mode = VCD2_MODE_INSPECT;
  VCD2SetCallbacks(&callbacks);
  int status = VCD2_RESULT_OK;
  for (const std::string& file : files) {
    const int32_t result = VCD2DiscBuilder(nullptr, file.c_str(), nullptr);
    if (status == VCD2_RESULT_OK) status = result;
  }
  return status;
}
