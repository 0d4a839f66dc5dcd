#pragma once

namespace vcd2 {

// In the codec module: what FFmpeg's libraries log goes to warn, one line
// per message, when it is an error they report; the rest is dropped, so that
// nothing of theirs reaches the terminal past the error reporter.
void RouteLibraryLog(void (*warn)(const char* line));

}  // namespace vcd2
