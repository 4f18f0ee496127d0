#pragma once
// A control array: controls addressed by a 1-based index, as in TextEQ(61).

#include <cassert>
#include <vector>

namespace eq {

template <typename Control>
class ControlArray {
 public:
  explicit ControlArray(int count) : controls_(static_cast<std::size_t>(count) + 1, nullptr) {}

  Control* operator()(int index) const {
    assert(index >= 1 && index < static_cast<int>(controls_.size()));
    return controls_[static_cast<std::size_t>(index)];
  }
  void set(int index, Control* control) { controls_[static_cast<std::size_t>(index)] = control; }
  int count() const { return static_cast<int>(controls_.size()) - 1; }

 private:
  std::vector<Control*> controls_;  // element 0 unused
};

}  // namespace eq
