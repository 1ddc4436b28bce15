#pragma once

// A one-way signal between test threads: wait() returns once open() has been called, at
// once if it already has. Made of a mutex and a condition variable rather than
// std::binary_semaphore, whose wait can miss a release with the MinGW runtime.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace wt::test {

class Gate {
  public:
    void open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

    void wait() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [&] { return open_; });
    }

    // False when the gate stayed shut for `limit`.
    bool waitFor(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return opened_.wait_for(lock, limit, [&] { return open_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

}  // namespace wt::test
