#pragma once
// Command4 "描画する": draws the sheet for the ticked rows and the prediction date.

namespace eq {

class Form1;

class DrawCommand {
 public:
  explicit DrawCommand(Form1& form) : form_(form) {}
  void run();

 private:
  Form1& form_;
};

}  // namespace eq
