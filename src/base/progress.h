#pragma once

#include <atomic>
#include <cstdint>

namespace vcd2 {

// The host's progress function: (percent or -1, status text or null) -> 0 to stop.
using ProgressFunction = int32_t (*)(int32_t percent, const char* text);

// Installs the current build's progress function (null: progress is not shown).
void SetProgressCallback(ProgressFunction callback);

// Each of these ends with exactly one call of the progress function; a 0
// result sets the abort flag.
void ShowStatus(const char* text);
void SetProgressRange(int32_t low, int32_t high);
void SetProgressStep(int32_t step);
void SetProgressPos(int32_t position);
void StepProgress();

// Percent of a position in 32-bit arithmetic truncating toward zero. An
// empty range (high == low) has nothing left to do: 100 once the position has
// reached high, 0 before.
int32_t PercentOf(int32_t position, int32_t low, int32_t high);

// True once the host asked the current build to stop.
bool AbortRequested();
// The flag itself, for work that polls it from inside a library call.
const std::atomic<bool>& AbortFlag();
// Sets the abort flag, as a progress function returning 0 does; safe from
// any thread and from a signal handler.
void RequestAbort();
// Clears the abort flag; a new build starts with it clear.
void ClearAbortRequest();

}  // namespace vcd2
