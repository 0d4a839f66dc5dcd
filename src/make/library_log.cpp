#include "make/library_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

namespace vcd2 {
namespace {

std::atomic<void (*)(const char*)> warn_sink{nullptr};

// "FFmpeg (bmp): message", the context named by its class, the line's end cut.
void OnLibraryLog(void* context, int level, const char* format, va_list args) {
  const auto warn = warn_sink.load();
  if (warn == nullptr || level > AV_LOG_ERROR || level > av_log_get_level()) return;
  const AVClass* context_class = context != nullptr ? *static_cast<AVClass**>(context) : nullptr;
  const char* name = context_class != nullptr && context_class->item_name != nullptr
                         ? context_class->item_name(context)
                         : "libav";
  char message[512];
  std::vsnprintf(message, sizeof message, format, args);
  std::string line = std::string("FFmpeg (") + name + "): " + message;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  warn(line.c_str());
}

}  // namespace

void RouteLibraryLog(void (*warn)(const char* line)) {
  warn_sink.store(warn);
  av_log_set_callback(OnLibraryLog);
}

}  // namespace vcd2
