#include "driver/stop_watch.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/progress.h"

namespace vcd2 {

int32_t RunWatched(const std::function<int32_t()>& build, const volatile std::sig_atomic_t* stop) {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  int32_t result = 0;
  std::thread worker([&] {
    const int32_t value = build();
    const std::lock_guard lock(mutex);
    result = value;
    done = true;
    ended.notify_one();
  });
  {
    std::unique_lock lock(mutex);
    while (!ended.wait_for(lock, std::chrono::milliseconds(kStopPollMilliseconds),
                           [&] { return done; })) {
      if (stop != nullptr && *stop != 0) RequestAbort();
    }
  }
  worker.join();
  return result;
}

}  // namespace vcd2
