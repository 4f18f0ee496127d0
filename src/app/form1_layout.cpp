// The main window's controls, built from the layout table of the core
// (draw/main_window_layout.h): captions, positions (twips), colours, fonts, tooltips,
// shortcuts and the focus order.

#include "platform/fonts.h"
#include "app/form1.h"
#include "app/row_check_box.h"
#include "platform/twips.h"
#include "app/picture_box.h"

#include <QFontMetrics>
#include <QShortcut>
#include <QScrollArea>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <limits>
#include <utility>
#include <vector>

namespace eq {
namespace {

// The controls named in the layout table, by number: Command1 ... Command9, Label1 ... Label37.
QPushButton* Form1::* const kCommands[] = {&Form1::Command1, &Form1::Command2, &Form1::Command3, &Form1::Command4,
                                           &Form1::Command5, &Form1::Command6, &Form1::Command7, &Form1::Command8,
                                           &Form1::Command9};
ClickLabel* Form1::* const kLabelMembers[] = {
    &Form1::Label1,  &Form1::Label2,  &Form1::Label3,  &Form1::Label4,  &Form1::Label5,  &Form1::Label6,
    &Form1::Label7,  &Form1::Label8,  &Form1::Label9,  &Form1::Label10, &Form1::Label11, &Form1::Label12,
    &Form1::Label13, &Form1::Label14, &Form1::Label15, &Form1::Label16, &Form1::Label17, &Form1::Label18,
    &Form1::Label19, &Form1::Label20, &Form1::Label21, &Form1::Label22, &Form1::Label23, &Form1::Label24,
    &Form1::Label25, &Form1::Label26, &Form1::Label27, &Form1::Label28, &Form1::Label29, &Form1::Label30,
    &Form1::Label31, &Form1::Label32, &Form1::Label33, &Form1::Label34, &Form1::Label35, &Form1::Label36,
    &Form1::Label37};

// The number in a control's name: 23 for "Label23", 7 for "TextEQ(7)".
int numberIn(const std::string& name) {
  const std::size_t digits = name.find_first_of("0123456789");
  return digits == std::string::npos ? 0 : std::atoi(name.c_str() + digits);
}

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QRgb rgbOf(Rgb colour) { return qRgb(colour.red, colour.green, colour.blue); }

void setColour(QWidget* widget, QPalette::ColorRole role, QRgb colour) {
  QPalette palette = widget->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) palette.setColor(group, role, colour);
  widget->setPalette(palette);
}

// The classic cells are 49 pixels wide for seven-digit values such as 142.686; the
// frame and the inner margin of a line edit leave too little of that for the digits,
// so the text may use the inner margin. A box holds a text of any length.
void fitTextToCell(QLineEdit* box) {
  box->setTextMargins(-3, 0, -3, 0);
  box->setMaxLength(std::numeric_limits<int>::max());
}

QRect rectOf(const ControlLayout& entry) { return twipsRect(entry.left, entry.top, entry.width, entry.height); }

}  // namespace

QWidget* Form1::controlNamed(const ControlLayout& entry) const {
  const int number = numberIn(entry.name);
  switch (entry.kind) {
    case ControlKind::Button: return this->*kCommands[number - 1];
    case ControlKind::Label: return this->*kLabelMembers[number - 1];
    case ControlKind::CheckBox: return CheckEQ(number);
    case ControlKind::TextBox: return TextEQ(number);
    case ControlKind::Picture: break;
  }
  return Picture1;
}

void Form1::createControls() {
  setWindowTitle(QString::fromUtf8(kMainWindowTitle));
  // The controls sit on a client area of the classic size inside a frameless scroll
  // area: on a screen that holds the window nothing scrolls and nothing looks
  // different; on a smaller one every control can still be reached.
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  // It only holds the controls; Tab goes from one control to the next, not to it.
  scroll_->setFocusPolicy(Qt::NoFocus);
  scroll_->setWidgetResizable(false);
  client_ = new QWidget;
  client_->setObjectName(QStringLiteral("client"));
  scroll_->setWidget(client_);

  for (const ControlLayout& entry : mainWindowLayout()) {
    const QString name = fromUtf8(entry.name);
    const int number = numberIn(entry.name);
    QWidget* control = nullptr;
    switch (entry.kind) {
      case ControlKind::Button: {
        auto* button = new QPushButton(fromUtf8(entry.caption), client_);
        this->*kCommands[number - 1] = button;
        control = button;
        break;
      }
      case ControlKind::Label: {
        auto* label = new ClickLabel(fromUtf8(entry.caption), client_);
        label->setGeometry(rectOf(entry));
        label->setAlignment((entry.align == CaptionAlign::Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
        if (entry.back) {
          label->setAutoFillBackground(true);
          setColour(label, QPalette::Window, rgbOf(*entry.back));
        }
        if (entry.fore) setColour(label, QPalette::WindowText, rgbOf(*entry.fore));
        if (entry.fontPoints > 0) label->setFont(pGothicFont(entry.fontPoints, entry.bold));
        // A caption longer than its label wraps inside the label's rectangle. A fixed
        // heading that the substitute font makes a pixel or two wider than the original
        // stays on one line instead of losing its last character to a hidden second line.
        const bool dynamic = entry.name == "Label23" || entry.name == "Label37";
        label->setWordWrap(dynamic || QFontMetrics(label->font()).horizontalAdvance(label->text()) > label->width() + 2);
        if (entry.clickable) label->setCursor(Qt::PointingHandCursor);
        this->*kLabelMembers[number - 1] = label;
        control = label;
        break;
      }
      case ControlKind::CheckBox: {
        auto* check = new RowCheckBox(fromUtf8(entry.caption), client_);
        check->setAutoFillBackground(true);
        CheckEQ.set(number, check);
        control = check;
        break;
      }
      case ControlKind::TextBox: {
        auto* box = new QLineEdit(client_);
        fitTextToCell(box);
        TextEQ.set(number, box);
        control = box;
        break;
      }
      case ControlKind::Picture:
        Picture1 = new PictureBox(session_.surface(), client_);
        control = Picture1;
        break;
    }
    control->setObjectName(name);
    control->setGeometry(rectOf(entry));
    if (!entry.tip.empty()) control->setToolTip(fromUtf8(tipWithKeys(entry)));
  }
}

void Form1::createShortcuts() {
  std::vector<std::string> labelKeys;
  for (const ControlLayout& entry : mainWindowLayout()) {
    if (entry.keys.empty()) continue;
    if (entry.kind == ControlKind::Button) {
      QPushButton* button = this->*kCommands[numberIn(entry.name) - 1];
      connect(new QShortcut(QKeySequence(fromUtf8(entry.keys)), this), &QShortcut::activated, button, [button] {
        if (button->isVisible() && button->isEnabled()) button->click();
      });
    } else if (std::find(labelKeys.begin(), labelKeys.end(), entry.keys) == labelKeys.end()) {
      labelKeys.push_back(entry.keys);
    }
  }
  for (const std::string& keys : labelKeys) {
    connect(new QShortcut(QKeySequence(fromUtf8(keys)), this), &QShortcut::activated, this, [this, keys] {
      ClickLabel* last = nullptr;
      for (const ControlLayout& entry : mainWindowLayout()) {
        if (entry.kind != ControlKind::Label || entry.keys != keys) continue;
        ClickLabel* label = this->*kLabelMembers[numberIn(entry.name) - 1];
        if (label->isVisible()) last = label;
      }
      if (!last) return;
      emit last->clicked();
      // A button it revealed takes the focus, so that Space or Return presses it.
      for (QPushButton* button : {Command7, Command8}) {
        if (last == Label32 && button->isVisible()) button->setFocus(Qt::ShortcutFocusReason);
      }
    });
  }
}

void Form1::applyTabOrder() {
  std::vector<std::pair<int, QWidget*>> order;
  for (const ControlLayout& entry : mainWindowLayout()) {
    if (entry.tabIndex >= 0) order.emplace_back(entry.tabIndex, controlNamed(entry));
  }
  std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1].second, order[i].second);
}

}  // namespace eq
