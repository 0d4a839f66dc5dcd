/* A C host: registers a table and runs builds through the shared library. */
#define _POSIX_C_SOURCE 200809L
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "vcd2/vcd2.h"

static int messages;
static int progress_calls;

static void show_message(const char* text) {
  (void)text;
  ++messages;
}

static int32_t on_progress(int32_t percent, const char* text) {
  (void)percent;
  (void)text;
  ++progress_calls;
  return 1;
}

int main(int argc, char** argv) {
  static BuilderCallbacks callbacks;
  char path[512];
  int32_t result;
  if (argc != 2) return 2;
  callbacks.show_message = show_message;
  if (VCD2SetCallbacks(&callbacks) != 1) return 1;
  snprintf(path, sizeof path, "%s/no-such-script.vcd", argv[1]);
  result = VCD2DiscBuilder(NULL, path, on_progress);
  if (result != VCD2_RESULT_FAILED || messages != 0 || progress_calls != 0) {
    fprintf(stderr, "missing script: result %d, %d messages, %d progress calls\n", (int)result,
            messages, progress_calls);
    return 1;
  }
  /* The minimal script writes its image into the current folder: a fresh one. */
  char folder[] = "/tmp/vcd2-c-host-XXXXXX";
  if (mkdtemp(folder) == NULL || chdir(folder) != 0) return 1;
  snprintf(path, sizeof path, "%s/minimal.vcd", argv[1]);
  result = VCD2DiscBuilder(NULL, path, on_progress);
  remove("minimal-data.bin");
  remove(folder);
  /* at least the five phases' status texts */
  if (result != VCD2_RESULT_OK || messages != 0 || progress_calls < 5) {
    fprintf(stderr, "minimal script: result %d, %d messages, %d progress calls\n", (int)result,
            messages, progress_calls);
    return 1;
  }
  puts("c host: 2 passed, 0 failed");
  return 0;
}
