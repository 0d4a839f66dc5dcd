#pragma once

#include <cstdint>

// Shows the library's status texts and progress on stderr: a status line with
// a progress bar on a terminal, plain status lines otherwise, nothing when
// quiet. Error messages are always shown.
class Terminal {
 public:
  Terminal(bool quiet, bool interactive) : quiet_(quiet), interactive_(interactive) {}

  void ShowStatus(const char* text);
  void ShowPercent(int32_t percent);
  void ShowMessage(const char* text);
  // Ends a progress line that is still open.
  void Finish();

 private:
  void Redraw();

  bool quiet_;
  bool interactive_;
  bool line_open_ = false;
  char status_[80] = "";
  int32_t percent_ = -1;
};
