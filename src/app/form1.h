#pragma once
// Form1, the main window: the eruption table, the prediction date, the command
// buttons, the help labels and the drawing surface Picture1. It is a view of the
// session: it builds its controls from the layout tables, hands typing, ticks and
// clicks to the session's commands, and mirrors the session after each of them.

#include "app/click_label.h"
#include "app/control_array.h"
#include "app/time_series_window.h"
#include "help/form2.h"
#include "draw/main_window_layout.h"
#include "session/session.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <memory>

class QScrollArea;

namespace eq {

class CrossingsWindow;
class HindcastWindow;
class PictureBox;

class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(Session& session, QWidget* parent = nullptr);
  ~Form1() override;

  // Start-up, in its order: show, create Form2 hidden, size, centre, place Picture1,
  // the session's flags and hidden controls.
  void Form_Load();

  Session& session() { return session_; }
  // The reference window, created on first reference (again after it was closed).
  Form2& form2();
  Form2* existingForm2() const { return form2_; }

  // Shows the session's state: texts, ticks, row looks, labels, the sheet, the windows.
  void sync();

  // Offers a file to the open command (its question and its messages), as when it is
  // named on the command line or dropped onto the window.
  void offerFile(const QString& path);

  // The area that holds the controls at their classic positions; it scrolls inside
  // the window when the screen is too small for the whole window.
  QWidget* client() const { return client_; }

  // Opens the time-series window on a copy of the table (Ctrl+T); when it is open
  // already, it takes the table afresh and comes to the front. The window lives as
  // long as this one, so nothing it is doing is ever cut off in the middle.
  void openTimeSeries();
  TimeSeriesWindow* existingTimeSeries() const { return timeSeries_.get(); }

  // 地震カタログを重ねる…: a catalogue over the sheet (file dialog, then its options), or
  // the overlay switched off when it is on.
  void toggleQuakeOverlay();
  // 検証…: the hindcast window, made on first use.
  HindcastWindow* openHindcast();

  // Controls, named as the window has always named them.
  QPushButton *Command1{}, *Command2{}, *Command3{}, *Command4{}, *Command5{}, *Command6{}, *Command7{},
      *Command8{}, *Command9{};
  ClickLabel *Label1{}, *Label2{}, *Label3{}, *Label4{}, *Label5{}, *Label6{}, *Label7{}, *Label8{}, *Label9{},
      *Label10{}, *Label11{}, *Label12{}, *Label13{}, *Label14{}, *Label15{}, *Label16{}, *Label17{}, *Label18{},
      *Label19{}, *Label20{}, *Label21{}, *Label22{}, *Label23{}, *Label24{}, *Label25{}, *Label26{}, *Label27{},
      *Label28{}, *Label29{}, *Label30{}, *Label31{}, *Label32{}, *Label33{}, *Label34{}, *Label35{}, *Label36{},
      *Label37{};
  ControlArray<QLineEdit> TextEQ{kBoxCount};  // 1 ... 60 the table, 61 ... 63 the prediction date
  ControlArray<QCheckBox> CheckEQ{kRowCount};
  PictureBox* Picture1{};

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void createControls();
  // The control that a layout-table entry names.
  QWidget* controlNamed(const ControlLayout& entry) const;
  // Each button's and clickable label's shortcut, as the layout tables give them.
  void createShortcuts();
  void applyTabOrder();
  void connectHandlers();
  void connectKeyboard();
  void placeOnScreen();
  void showSheetMenu(const QPoint& at);
  QWidget* widgetOf(Control control) const;
  // Runs a command on the session; nothing it throws reaches the event loop.
  void run(const char* name, const std::function<void()>& command);

  Session& session_;
  QScrollArea* scroll_{};
  QWidget* client_{};
  QPointer<Form2> form2_;
  QPointer<CrossingsWindow> crossings_;
  QPointer<HindcastWindow> hindcast_;

  std::unique_ptr<TimeSeriesWindow> timeSeries_;  // made on first use; closing it hides it
  bool syncing_ = false;
  bool loaded_ = false;  // Form_Load has shown the window
};

}  // namespace eq
