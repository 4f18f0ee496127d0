#include "platform/helper_thread.h"

#include <system_error>
#include <utility>

namespace eq {

HelperThread::HelperThread(const std::function<void()>& work) {
  try {
    thread_ = std::thread(work);
  } catch (const std::system_error&) {
    work();
  }
}

HelperThread& HelperThread::operator=(HelperThread&& other) noexcept {
  if (this != &other) {
    join();
    thread_ = std::move(other.thread_);
  }
  return *this;
}

void HelperThread::join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace eq
