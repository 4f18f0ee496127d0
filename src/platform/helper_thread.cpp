#include "platform/helper_thread.h"

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <system_error>
#include <utility>

namespace eq {
namespace {
std::atomic<int> startedCount{0};
}  // namespace

struct HelperThread::State {
  pthread_t thread{};
  std::function<void()> work;
  cpu_set_t allowed{};
  bool pinned = false;
  int startedOn = -1;
};

void* HelperThread::run(void* data) {
  auto* state = static_cast<State*>(data);
  if (state->pinned) {
    state->startedOn = sched_getcpu();
    sched_setaffinity(0, sizeof state->allowed, &state->allowed);
  }
  state->work();
  return nullptr;
}

HelperThread::HelperThread(std::function<void()> work) : state_(std::make_unique<State>()) {
  state_->work = std::move(work);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  if (sched_getaffinity(0, sizeof state_->allowed, &state_->allowed) == 0) {
    // The next processor after this one that the process may use.
    const int here = sched_getcpu();
    for (int step = 1; here >= 0 && step < CPU_SETSIZE; ++step) {
      const int cpu = (here + step) % CPU_SETSIZE;
      if (!CPU_ISSET(cpu, &state_->allowed)) continue;
      cpu_set_t one;
      CPU_ZERO(&one);
      CPU_SET(cpu, &one);
      state_->pinned = pthread_attr_setaffinity_np(&attributes, sizeof one, &one) == 0;
      break;
    }
  }
  const int error = pthread_create(&state_->thread, &attributes, run, state_.get());
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    state_.reset();
    throw std::system_error(error, std::generic_category(), "pthread_create");
  }
  ++startedCount;
}

int HelperThread::started() { return startedCount; }

HelperThread HelperThread::besideOrHere(const std::function<void()>& work) {
  try {
    return HelperThread(work);
  } catch (const std::system_error&) {
    work();
    return HelperThread();
  }
}

HelperThread::HelperThread() = default;

HelperThread::HelperThread(HelperThread&& other) noexcept
    : state_(std::move(other.state_)), startedOn_(other.startedOn_) {}

HelperThread& HelperThread::operator=(HelperThread&& other) noexcept {
  if (this != &other) {
    join();
    state_ = std::move(other.state_);
    startedOn_ = other.startedOn_;
  }
  return *this;
}

HelperThread::~HelperThread() { join(); }

void HelperThread::join() {
  if (!state_) return;
  pthread_join(state_->thread, nullptr);
  startedOn_ = state_->startedOn;
  state_.reset();
}

}  // namespace eq
