// Work handed from a background thread to the interface thread: the poster
// queues a function, the interface thread runs what is queued when it looks
// (a timer tick in the window, a loop in the command-line tool).
#pragma once
#include "no_qt.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace trazvik {

class tInterfaceQueue {
 public:
  void post(std::function<void()> work) {
    {
      std::lock_guard lock(mutex_);
      queue_.push_back(std::move(work));
    }
    wake_.notify_all();
  }

  // Runs every queued function on the calling thread; returns how many ran.
  int runPending() {
    int ran = 0;
    for (;;) {
      std::function<void()> work;
      {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return ran;
        work = std::move(queue_.front());
        queue_.pop_front();
      }
      work();
      ++ran;
    }
  }

  // Work is waiting (looked at without running it).
  bool pending() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty();
  }

  // Waits at most `timeout` for work, then runs what is queued.
  int waitAndRun(std::chrono::milliseconds timeout) {
    {
      std::unique_lock lock(mutex_);
      wake_.wait_for(lock, timeout, [&] { return !queue_.empty(); });
    }
    return runPending();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace trazvik
