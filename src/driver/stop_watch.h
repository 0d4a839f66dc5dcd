#pragma once

#include <csignal>
#include <cstdint>
#include <functional>

namespace vcd2 {

// Runs the build on a thread of its own. The calling thread, which only
// waits, looks at the host's stop word meanwhile and turns a request into the
// abort flag within kStopPollMilliseconds, so that an encoding that calls no
// progress function stops as promptly. Throws std::system_error when the
// thread cannot be started.
inline constexpr int kStopPollMilliseconds = 20;
int32_t RunWatched(const std::function<int32_t()>& build, const volatile std::sig_atomic_t* stop);

}  // namespace vcd2
