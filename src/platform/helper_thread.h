#pragma once
// A thread for a few milliseconds of work beside the caller's. Linux puts a new thread
// on its creator's processor and moves it to an idle one only when it next balances
// the load, on a virtual machine up to 4 ms later: longer than the work itself, which
// then waits while the creator runs. A helper is therefore started on another
// processor the process may use, and at once lets itself be moved anywhere again. This
// saves 2 ms of a render process, and 7 ms with the glyphs made beside the sheet's ground
// (sheet_renderer.cpp; README, Performance).

#include <functional>
#include <memory>

namespace eq {

class HelperThread {
 public:
  HelperThread();
  // Starts `work`; throws std::system_error when no thread can be had, like std::thread.
  explicit HelperThread(std::function<void()> work);
  // Starts `work` beside the caller or, when no thread can be had, does it here before
  // returning (the helper returned then has nothing to join).
  static HelperThread besideOrHere(const std::function<void()>& work);
  HelperThread(HelperThread&& other) noexcept;
  HelperThread& operator=(HelperThread&& other) noexcept;
  ~HelperThread();  // joins

  bool joinable() const { return state_ != nullptr; }
  void join();

  // After join(): the processor the helper started on, alone; -1 when it was not started
  // on another one (the process may use only one, or ran the work itself).
  int startedOn() const { return startedOn_; }
  // How many helpers this process has started on a thread of their own.
  static int started();

 private:
  struct State;
  static void* run(void* state);
  std::unique_ptr<State> state_;
  int startedOn_ = -1;
};

}  // namespace eq
