#pragma once
// Form1, the main window: the eruption table, the prediction date, the command
// buttons, the help labels and the drawing surface Picture1, and the working state
// that every command shares. The commands themselves live with their subsystems;
// this class only owns the controls and says which command a click runs.

#include "app/click_label.h"
#include "app/control_array.h"
#include "app/form_variables.h"
#include "help/form2.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace eq {

class Platform;
class PictureBox;
class DrawCommand;

// The open-file dialog's lasting state: the path of its last successful use.
struct CommonDialog {
  QString fileName;   // full path
  QString fileTitle;  // bare file name
};

class Form1 : public QWidget, public FormVariables {
  Q_OBJECT
 public:
  explicit Form1(Platform& platform, QWidget* parent = nullptr);
  ~Form1() override;

  // Start-up, in its order: show, create Form2 hidden, size, centre, place Picture1, set the flags,
  // hide the status and help controls.
  void Form_Load();

  Platform& platform() { return platform_; }
  // The reference window, created on first reference (again after it was closed).
  Form2& form2();
  Form2* existingForm2() const { return form2_; }

  // Controls, named as the window has always named them.
  QPushButton *Command1{}, *Command2{}, *Command3{}, *Command4{}, *Command5{}, *Command6{}, *Command7{},
      *Command8{}, *Command9{};
  ClickLabel *Label1{}, *Label2{}, *Label3{}, *Label4{}, *Label5{}, *Label6{}, *Label7{}, *Label8{}, *Label9{},
      *Label10{}, *Label11{}, *Label12{}, *Label13{}, *Label14{}, *Label15{}, *Label16{}, *Label17{}, *Label18{},
      *Label19{}, *Label20{}, *Label21{}, *Label22{}, *Label23{}, *Label24{}, *Label25{}, *Label26{}, *Label27{},
      *Label28{}, *Label29{}, *Label30{}, *Label31{}, *Label32{}, *Label33{}, *Label34{}, *Label35{}, *Label36{},
      *Label37{};
  ControlArray<QLineEdit> TextEQ{63};  // 1 ... 60 the table, 61 ... 63 the prediction date
  ControlArray<QCheckBox> CheckEQ{10};
  PictureBox* Picture1{};
  CommonDialog CommonDialog1;

  // Click handlers.
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Command8_Click();
  void Command9_Click();
  void Label24_Click();
  void Label25_Click();
  void Label26_Click();
  void Label27_Click();
  void Label28_Click();
  void Label29_Click();
  void Label30_Click();
  void Label31_Click();
  void Label32_Click();
  void Label33_Click();
  void Label36_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class DrawCommand;
  friend class TestForm1;  // checks the three procedures' contracts

  // The procedures shared by the Draw command. They take their inputs from, and
  // leave their results in, the form-level variables; false when the step failed
  // (the outputs then keep their values).
  bool JulianDay();   // CalcYear, CalcMonth, CalcDay -> DayNumber (month 0 becomes 7)
  bool PlotRadius();  // PredictionDayNumber, EruptionDayNumber -> RadiusKm
  bool PlotXY();      // Latitude, Longitude -> MapX, MapY

  void createControls();
  void applyTabOrder();
  void connectHandlers();

  Platform& platform_;
  QPointer<Form2> form2_;
};

}  // namespace eq
