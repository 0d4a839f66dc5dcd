#include "base/progress.h"

#include <atomic>

namespace vcd2 {
namespace {

struct ProgressState {
  ProgressFunction callback = nullptr;
  int32_t low = 0;
  int32_t high = 100;
  int32_t position = 0;
  int32_t step = 0;
};

ProgressState state;
std::atomic<bool> abort_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from signal handlers");

void Notify(int32_t percent, const char* text) {
  if (state.callback != nullptr && state.callback(percent, text) == 0) abort_requested = true;
}

}  // namespace

void SetProgressCallback(ProgressFunction callback) {
  state.callback = callback;
}

int32_t PercentOf(int32_t position, int32_t low, int32_t high) {
  if (high == low) return position >= high ? 100 : 0;
  // Unsigned arithmetic wraps like the 32-bit signed arithmetic it stands for.
  const auto numerator =
      static_cast<int32_t>((static_cast<uint32_t>(position) - static_cast<uint32_t>(low)) * 100u);
  const auto denominator =
      static_cast<int32_t>(static_cast<uint32_t>(high) - static_cast<uint32_t>(low));
  if (denominator == -1 && numerator == INT32_MIN) return numerator;
  return numerator / denominator;
}

void ShowStatus(const char* text) {
  Notify(-1, text);
}

void SetProgressRange(int32_t low, int32_t high) {
  state.low = low;
  state.high = high;
  SetProgressPos(0);
}

void SetProgressStep(int32_t step) {
  state.step = step;
  SetProgressPos(0);
}

void SetProgressPos(int32_t position) {
  state.position = position;
  Notify(PercentOf(state.position, state.low, state.high), nullptr);
}

void StepProgress() {
  const int64_t next = int64_t{state.position} + state.step;
  state.position = next > state.high ? state.high : static_cast<int32_t>(next);
  Notify(PercentOf(state.position, state.low, state.high), nullptr);
}

bool AbortRequested() {
  return abort_requested;
}

const std::atomic<bool>& AbortFlag() {
  return abort_requested;
}

void RequestAbort() {
  abort_requested = true;
}

void ClearAbortRequest() {
  abort_requested = false;
}

}  // namespace vcd2
