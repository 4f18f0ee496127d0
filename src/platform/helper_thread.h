#pragma once
// A thread for a few milliseconds of work beside the caller's; where no thread can be
// had, the work is done at once on the caller's thread instead.

#include <functional>
#include <thread>

namespace eq {

class HelperThread {
 public:
  HelperThread() = default;
  // Starts `work` beside the caller or, when no thread can be had, does it here before
  // returning (there is then nothing to join).
  explicit HelperThread(const std::function<void()>& work);
  HelperThread(HelperThread&& other) noexcept = default;
  HelperThread& operator=(HelperThread&& other) noexcept;
  ~HelperThread() { join(); }

  void join();

 private:
  std::thread thread_;
};

}  // namespace eq
