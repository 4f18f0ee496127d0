#include "app/form1.h"

#include "app/eruption_table.h"
#include "app/fonts.h"
#include "app/platform.h"
#include "app/twips.h"
#include "app/window_placement.h"
#include "datafile/open_command.h"
#include "datafile/save_command.h"
#include "help/form2.h"
#include "help/help_panels.h"
#include "map/draw_command.h"
#include "map/picture_box.h"
#include "map/projection.h"
#include "map/sheet_commands.h"
#include "model/day_number.h"
#include "model/radius_law.h"

#include <QApplication>
#include <QCloseEvent>
#include <exception>

namespace eq {
namespace {

// A click handler runs to completion; nothing it throws may reach the event loop.
template <typename Handler>
void runHandler(const char* name, Handler&& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& e) {
    qWarning("%s: %s", name, e.what());
  } catch (...) {
    qWarning("%s: unexpected failure", name);
  }
}

}  // namespace

Form1::Form1(Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform) {
  setFont(uiFont());
  createControls();
  applyTabOrder();
  connectHandlers();
}

Form1::~Form1() {
  if (form2_) delete form2_.data();
}

void Form1::connectHandlers() {
  const auto on = [this](auto* sender, auto signal, const char* name, void (Form1::*handler)()) {
    connect(sender, signal, this, [this, name, handler] { runHandler(name, [&] { (this->*handler)(); }); });
  };
  on(Command1, &QPushButton::clicked, "Command1_Click", &Form1::Command1_Click);
  on(Command2, &QPushButton::clicked, "Command2_Click", &Form1::Command2_Click);
  on(Command3, &QPushButton::clicked, "Command3_Click", &Form1::Command3_Click);
  on(Command4, &QPushButton::clicked, "Command4_Click", &Form1::Command4_Click);
  on(Command5, &QPushButton::clicked, "Command5_Click", &Form1::Command5_Click);
  on(Command6, &QPushButton::clicked, "Command6_Click", &Form1::Command6_Click);
  on(Command7, &QPushButton::clicked, "Command7_Click", &Form1::Command7_Click);
  on(Command8, &QPushButton::clicked, "Command8_Click", &Form1::Command8_Click);
  on(Command9, &QPushButton::clicked, "Command9_Click", &Form1::Command9_Click);
  on(Label24, &ClickLabel::clicked, "Label24_Click", &Form1::Label24_Click);
  on(Label25, &ClickLabel::clicked, "Label25_Click", &Form1::Label25_Click);
  on(Label26, &ClickLabel::clicked, "Label26_Click", &Form1::Label26_Click);
  on(Label27, &ClickLabel::clicked, "Label27_Click", &Form1::Label27_Click);
  on(Label28, &ClickLabel::clicked, "Label28_Click", &Form1::Label28_Click);
  on(Label29, &ClickLabel::clicked, "Label29_Click", &Form1::Label29_Click);
  on(Label30, &ClickLabel::clicked, "Label30_Click", &Form1::Label30_Click);
  on(Label31, &ClickLabel::clicked, "Label31_Click", &Form1::Label31_Click);
  on(Label32, &ClickLabel::clicked, "Label32_Click", &Form1::Label32_Click);
  on(Label33, &ClickLabel::clicked, "Label33_Click", &Form1::Label33_Click);
  on(Label36, &ClickLabel::clicked, "Label36_Click", &Form1::Label36_Click);
}

void Form1::Form_Load() {
  show();
  waitUntilFramed(*this);
  form2();
  // The outer size is set; Qt sizes the client area, so take the frame off first.
  const QSize frame = frameGeometry().size() - size();
  resize(twipsToPixels(25200) - frame.width(), twipsToPixels(15100) - frame.height());
  // Centred from the outer size as read back.
  centreOnScreen(*this);
  Picture1->setGeometry(twipsRect(6800, 900, 18000, 12800));
  DrawnCount = 0;
  ShowBackgroundMap = 1;
  Label20->setVisible(false);
  Label21->setVisible(false);
  Label25->setVisible(false);
  Label31->setVisible(false);
  Label25->move(twipsToPixels(1320), Label25->y());
  const int helpTops[] = {12600, 12990, 13230, 13470};
  ClickLabel* const steps[] = {Label26, Label27, Label28, Label29};
  for (int i = 0; i < 4; ++i) {
    steps[i]->setVisible(false);
    steps[i]->move(twipsToPixels(1320), twipsToPixels(helpTops[i]));
  }
  Label23->setText(QString());
  Command7->setVisible(false);
  Command8->setVisible(false);
  Picture1->setFocus();
}

Form2& Form1::form2() {
  if (!form2_) form2_ = new Form2(*this);
  return *form2_;
}

void Form1::closeEvent(QCloseEvent* event) {
  // Ends the program at once: no question, nothing saved; the reference window goes too.
  if (form2_) delete form2_.data();
  event->accept();
  QApplication::quit();
}

bool Form1::JulianDay() {
  CalcMonth = monthForDayNumber(CalcMonth);
  const auto day = dayNumber(CalcYear, CalcMonth, CalcDay);
  if (!day) return false;
  DayNumber = *day;
  return true;
}

bool Form1::PlotRadius() {
  const auto radius = radiusKm(PredictionDayNumber, EruptionDayNumber);
  if (!radius) return false;
  RadiusKm = *radius;
  return true;
}

bool Form1::PlotXY() {
  const auto point = projectToMap(Latitude, Longitude);
  if (!point) return false;
  MapX = point->x;
  MapY = point->y;
  return true;
}

void Form1::Command1_Click() { openEruptionDataFile(*this); }
void Form1::Command2_Click() { saveEruptionData(*this); }
void Form1::Command3_Click() { printSheet(*this); }
void Form1::Command4_Click() { DrawCommand(*this).run(); }
void Form1::Command5_Click() { clearEruptionData(*this); }
void Form1::Command6_Click() { clearDrawing(*this); }
void Form1::Command7_Click() { showBackgroundMap(*this); }
void Form1::Command8_Click() { hideBackgroundMap(*this); }
void Form1::Command9_Click() { enterTitleComment(*this); }
void Form1::Label24_Click() { showUsageDescription(*this); }
void Form1::Label25_Click() { showUsageSteps(*this); }
void Form1::Label26_Click() { closeUsagePanel(*this); }
void Form1::Label27_Click() { closeUsagePanel(*this); }
void Form1::Label28_Click() { closeUsagePanel(*this); }
void Form1::Label29_Click() { closeUsagePanel(*this); }
void Form1::Label30_Click() { showResolutionNote(*this); }
void Form1::Label31_Click() { hideResolutionNote(*this); }
void Form1::Label32_Click() { revealBackgroundMapButton(*this); }
void Form1::Label33_Click() { openReferenceWindow(*this); }
void Form1::Label36_Click() { selectAllRows(*this); }

}  // namespace eq
