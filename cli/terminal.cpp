#include "terminal.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kBarWidth = 30;

}  // namespace

void Terminal::ShowStatus(const char* text) {
  if (quiet_ || text == nullptr || text[0] == '\0') return;
  std::snprintf(status_, sizeof status_, "%s", text);
  percent_ = -1;
  if (interactive_) {
    Redraw();
  } else {
    std::fprintf(stderr, "%s\n", status_);
  }
}

void Terminal::ShowPercent(int32_t percent) {
  if (quiet_ || !interactive_ || percent == percent_) return;
  percent_ = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  Redraw();
}

void Terminal::Redraw() {
  std::fprintf(stderr, "\r\033[K%-32s", status_);
  if (percent_ >= 0) {
    const int filled = percent_ * kBarWidth / 100;
    std::fprintf(stderr, " [%.*s%*s] %3d%%", filled, "##############################",
                 kBarWidth - filled, "", static_cast<int>(percent_));
  }
  std::fflush(stderr);
  line_open_ = true;
}

// The library ends lines with CR LF; each becomes one line break here.
void Terminal::ShowMessage(const char* text) {
  Finish();
  for (const char* c = text; *c != '\0'; ++c) {
    if (c[0] == '\r' && c[1] == '\n') continue;
    std::fputc(*c, stderr);
  }
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void Terminal::Finish() {
  if (!line_open_) return;
  std::fputc('\n', stderr);
  line_open_ = false;
}
