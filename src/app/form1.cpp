#include "app/form1.h"

#include "app/crossings_window.h"
#include "app/hindcast_window.h"
#include "app/picture_box.h"
#include "app/window_placement.h"
#include "help/form2.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "session/analysis_commands.h"
#include "session/draw_command.h"
#include "session/help_commands.h"
#include "session/messages.h"
#include "session/open_command.h"
#include "session/quake_commands.h"
#include "session/save_command.h"
#include "session/sheet_commands.h"
#include "session/table_commands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <algorithm>
#include <exception>

namespace eq {
namespace {

void setBackColor(QWidget* control, QRgb colour) {
  const auto role = qobject_cast<const QLineEdit*>(control) ? QPalette::Base : QPalette::Window;
  if (control->palette().color(QPalette::Active, role).rgb() == colour) return;
  QPalette palette = control->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) palette.setColor(group, role, colour);
  control->setPalette(palette);
}

}  // namespace

Form1::Form1(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setFont(uiFont());
  createControls();
  createShortcuts();
  applyTabOrder();
  connectHandlers();
  connectKeyboard();
  setAcceptDrops(true);
  session_.setViewRefresh([this] { sync(); });
  sync();
}

Form1::~Form1() {
  session_.setViewRefresh({});
  if (form2_) delete form2_.data();
}

void Form1::run(const char* name, const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    qWarning("%s: %s", name, e.what());
  } catch (...) {
    qWarning("%s: unexpected failure", name);
  }
  sync();
}

void Form1::connectHandlers() {
  const auto on = [this](auto* sender, auto signal, const char* name, void (*command)(Session&)) {
    connect(sender, signal, this, [this, name, command] { run(name, [&] { command(session_); }); });
  };
  on(Command1, &QPushButton::clicked, "Command1_Click", &openEruptionDataFile);
  on(Command2, &QPushButton::clicked, "Command2_Click", &saveEruptionData);
  on(Command3, &QPushButton::clicked, "Command3_Click", &printSheet);
  on(Command4, &QPushButton::clicked, "Command4_Click", [](Session& s) { runDrawCommand(s); });
  on(Command5, &QPushButton::clicked, "Command5_Click", &clearEruptionData);
  on(Command6, &QPushButton::clicked, "Command6_Click", &clearDrawing);
  on(Command7, &QPushButton::clicked, "Command7_Click", &showBackgroundMap);
  on(Command8, &QPushButton::clicked, "Command8_Click", &hideBackgroundMap);
  on(Command9, &QPushButton::clicked, "Command9_Click", &enterTitleComment);
  on(Label24, &ClickLabel::clicked, "Label24_Click", &showUsageDescription);
  on(Label25, &ClickLabel::clicked, "Label25_Click", &showUsageSteps);
  for (ClickLabel* step : {Label26, Label27, Label28, Label29})
    on(step, &ClickLabel::clicked, "Label26_29_Click", &closeUsagePanel);
  on(Label30, &ClickLabel::clicked, "Label30_Click", &showResolutionNote);
  on(Label31, &ClickLabel::clicked, "Label31_Click", &hideResolutionNote);
  on(Label32, &ClickLabel::clicked, "Label32_Click", &revealBackgroundMapButton);
  on(Label33, &ClickLabel::clicked, "Label33_Click", &openReferenceWindow);
  on(Label36, &ClickLabel::clicked, "Label36_Click", &selectAllRows);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this), &QShortcut::activated, this,
          &Form1::openTimeSeries);

  // Typing and ticking change only the session's copy; commands read it when they run.
  for (int index = 1; index <= TextEQ.count(); ++index) {
    connect(TextEQ(index), &QLineEdit::textChanged, this, [this, index](const QString& text) {
      if (!syncing_) session_.setText(index, text);
    });
  }
  for (int row = 1; row <= kRowCount; ++row) {
    connect(CheckEQ(row), &QCheckBox::toggled, this, [this, row](bool checked) {
      if (!syncing_) session_.setTicked(row, checked);
    });
  }
}

void Form1::Form_Load() {
  loaded_ = true;
  show();
  waitUntilFramed(*this);
  form2();
  placeOnScreen();
  Picture1->setGeometry(twipsRect(6800, 900, kSheetWidth, kSheetHeight));
  session_.startUp();
  Label25->move(twipsToPixels(1320), Label25->y());
  const int helpTops[] = {12600, 12990, 13230, 13470};
  ClickLabel* const steps[] = {Label26, Label27, Label28, Label29};
  for (int i = 0; i < 4; ++i) steps[i]->move(twipsToPixels(1320), twipsToPixels(helpTops[i]));
  sync();
  Picture1->setFocus();
}

QWidget* Form1::widgetOf(Control control) const {
  switch (control) {
    case Control::Label20: return Label20;
    case Control::Label21: return Label21;
    case Control::Label23: return Label23;
    case Control::Label25: return Label25;
    case Control::Label26: return Label26;
    case Control::Label27: return Label27;
    case Control::Label28: return Label28;
    case Control::Label29: return Label29;
    case Control::Label30: return Label30;
    case Control::Label31: return Label31;
    case Control::Label32: return Label32;
    case Control::Label37: return Label37;
    case Control::Command7: return Command7;
    case Control::Command8: return Command8;
  }
  return nullptr;
}

void Form1::sync() {
  syncing_ = true;
  for (int index = 1; index <= TextEQ.count(); ++index) {
    QLineEdit* box = TextEQ(index);
    if (box->text() != session_.text(index)) {
      box->setText(session_.text(index));
      // A text wider than its cell shows its beginning, not its end.
      box->setCursorPosition(0);
    }
    const ControlLook look = session_.boxLook(index);
    box->setEnabled(look.enabled);
    setBackColor(box, look.back);
  }
  for (int row = 1; row <= kRowCount; ++row) {
    QCheckBox* check = CheckEQ(row);
    check->setChecked(session_.ticked(row));
    const ControlLook look = lookOf(session_.rowLook(row));
    check->setEnabled(look.enabled);
    setBackColor(check, look.back);
  }
  for (int c = 0; c < kControlCount; ++c) {
    const auto control = static_cast<Control>(c);
    QWidget* widget = widgetOf(control);
    if (const auto& caption = session_.caption(control)) {
      if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text() != *caption) label->setText(*caption);
      }
      // A title comment longer than its label shows whole as the label's tooltip.
      if (widget == Label37) {
        const QRect room = Label37->contentsRect();
        const QRect needed =
            Label37->fontMetrics().boundingRect(room, int(Label37->alignment()) | Qt::TextWordWrap, *caption);
        Label37->setToolTip(needed.height() > room.height() || needed.width() > room.width() ? *caption : QString());
      }
    }
    // Before the window is first shown, hidden controls wait for show() to take effect.
    if (widget->isVisibleTo(this) != session_.visible(control)) widget->setVisible(session_.visible(control));
  }
  Picture1->sync();
  if (crossings_ && crossings_->isVisible()) crossings_->refresh();
  syncing_ = false;

  // The reference window is shown with the main window hidden, and the other way round.
  if (session_.referenceWindowShown()) {
    Form2& reference = form2();
    if (!reference.isVisible()) {
      hide();
      reference.show();
      waitUntilFramed(reference);
      centreOnScreen(reference);
    }
  } else if (form2_ && form2_->isVisible()) {
    form2_->hide();
  }
  if (loaded_ && session_.mainWindowShown() && !isVisible()) show();
}

void Form1::placeOnScreen() {
  // The outer size is set; Qt sizes the client area, so take the frame off first.
  const QSize frame = frameGeometry().size() - size();
  const QSize outer(twipsToPixels(kMainWindowWidth), twipsToPixels(kMainWindowHeight));
  client_->setFixedSize(outer - frame);
  const QRect available = screen() ? screen()->availableGeometry() : QRect();
  const bool fits =
      available.isEmpty() || (outer.width() <= available.width() && outer.height() <= available.height());
  // Scroll bars only where the window cannot show the whole client area.
  const Qt::ScrollBarPolicy bars = fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
  scroll_->setHorizontalScrollBarPolicy(bars);
  scroll_->setVerticalScrollBarPolicy(bars);
  if (fits) {
    resize(outer - frame);
    // Centred from the outer size as read back.
    centreOnScreen(*this);
    return;
  }
  // A screen (or its free area beside panels) smaller than the window: the whole
  // window stays on that area, title bar included, and its content scrolls.
  const QSize fitted(std::min(outer.width(), available.width()), std::min(outer.height(), available.height()));
  resize(fitted - frame);
  move(available.left() + (available.width() - fitted.width()) / 2,
       available.top() + (available.height() - fitted.height()) / 2);
}

void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  scroll_->setGeometry(rect());
}

void Form1::connectKeyboard() {
  // Return and Enter press the focused button, as Space does.
  for (QPushButton* button : {Command1, Command2, Command3, Command4, Command5, Command6, Command7, Command8, Command9})
    button->installEventFilter(this);

  // The sheet's own menu: right button, or the Menu key while the sheet has the focus.
  Picture1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Picture1, &QWidget::customContextMenuRequested, this, &Form1::showSheetMenu);
}

void Form1::showSheetMenu(const QPoint& at) {
  QMenu menu(this);
  QAction* list = menu.addAction(QStringLiteral("交点一覧…"));
  QAction* marks = menu.addAction(QStringLiteral("交点を表示"));
  marks->setCheckable(true);
  marks->setChecked(session_.analysis.showCrossings);
  QAction* geodesic = menu.addAction(QStringLiteral("測地線の円 (次の描画から)"));
  geodesic->setCheckable(true);
  geodesic->setChecked(session_.analysis.circleMode == CircleMode::Geodesic);
  geodesic->setToolTip(QStringLiteral("次の描画から、地球楕円体の上で真の距離にある点を結んだ円を描きます"));
  QAction* quakes = menu.addAction(QStringLiteral("地震カタログを重ねる…"));
  quakes->setCheckable(true);
  quakes->setChecked(session_.analysis.quakes.quakes != nullptr);
  quakes->setToolTip(QStringLiteral("USGS の地震カタログの地震を、切るまでこれからの描画に重ねます"));
  QAction* hindcast = menu.addAction(QStringLiteral("検証…"));
  menu.addSeparator();
  QAction* image = menu.addAction(QStringLiteral("画像として保存…"));
  QAction* mapData = menu.addAction(QStringLiteral("地図データとして保存…"));
  menu.addSeparator();
  QAction* series = menu.addAction(QStringLiteral("時系列…"));
  series->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  QAction* chosen = menu.exec(Picture1->mapToGlobal(at));
  if (chosen == list) {
    if (!crossings_) {
      crossings_ = new CrossingsWindow(session_, this);
      crossings_->setAttribute(Qt::WA_DeleteOnClose);
    }
    crossings_->refresh();
    crossings_->show();
    crossings_->raise();
  } else if (chosen == marks) {
    run("交点を表示", [&] { setCrossingMarks(session_, marks->isChecked()); });
  } else if (chosen == geodesic) {
    run("測地線の円", [&] { setGeodesicCircles(session_, geodesic->isChecked()); });
  } else if (chosen == image) {
    run("画像として保存", [&] { saveSheetImage(session_); });
  } else if (chosen == mapData) {
    run("地図データとして保存", [&] { saveMapData(session_); });
  } else if (chosen == series) {
    openTimeSeries();
  } else if (chosen == quakes) {
    toggleQuakeOverlay();
  } else if (chosen == hindcast) {
    openHindcast();
  }
}

void Form1::toggleQuakeOverlay() {
  run("地震カタログを重ねる", [&] {
    if (session_.analysis.quakes.quakes) {
      removeQuakeOverlay(session_);
      return;
    }
    const std::optional<QString> path = askQuakeCatalogue(session_);
    double minMagnitude = session_.analysis.quakes.minMagnitude;
    int days = session_.analysis.quakes.days;
    if (path && askQuakeOptions(this, minMagnitude, days)) overlayQuakes(session_, *path, minMagnitude, days);
  });
}

HindcastWindow* Form1::openHindcast() {
  if (!hindcast_) {
    hindcast_ = new HindcastWindow(session_, this);
    hindcast_->setAttribute(Qt::WA_DeleteOnClose);
  }
  hindcast_->show();
  hindcast_->raise();
  return hindcast_;
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      button->click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void Form1::offerFile(const QString& path) {
  run("offerFile", [&] { openEruptionDataFileAt(session_, path); });
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.size() == 1 && urls.front().isLocalFile()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return;
  event->acceptProposedAction();
  // The question is asked after the drop has finished, not inside the drag's own loop.
  const QString path = urls.front().toLocalFile();
  QMetaObject::invokeMethod(this, [this, path] { offerFile(path); }, Qt::QueuedConnection);
}

Form2& Form1::form2() {
  if (!form2_) {
    form2_ = new Form2([this] {
      run("Form2_Leave", [this] { leaveReferenceWindow(session_); });
    });
  }
  return *form2_;
}

void Form1::openTimeSeries() {
  if (!timeSeries_) {
    // A window of its own (no parent).
    timeSeries_ = std::make_unique<TimeSeriesWindow>(session_, session_.platform());
  } else if (timeSeries_->isVisible()) {
    timeSeries_->takeTable(session_);
  } else {
    timeSeries_->restart(session_);
  }
  timeSeries_->show();
  timeSeries_->raise();
  timeSeries_->activateWindow();
}

void Form1::closeEvent(QCloseEvent* event) {
  // An export of the time-series window would stop half-way: that is asked first, and
  // いいえ keeps both running.
  if (timeSeries_ && timeSeries_->exporting() &&
      !askYesNo(session_, confirmationText({QStringLiteral("時系列の書き出し中です"),
                                             QStringLiteral("書き出しを中止して終了します")}))) {
    event->ignore();
    return;
  }
  // Otherwise it ends the program at once: no question, nothing saved; the reference
  // and time-series windows go too (the latter is deleted with this one, after the
  // event loop, never while one of its own handlers runs).
  if (timeSeries_) timeSeries_->close();
  if (form2_) delete form2_.data();
  event->accept();
  QApplication::quit();
}

}  // namespace eq
