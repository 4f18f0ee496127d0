// The main window's controls: captions, positions (twips), colours, fonts and the
// focus order, as one table per kind of control.

#include "platform/fonts.h"
#include "app/form1.h"
#include "app/row_check_box.h"
#include "platform/twips.h"
#include "app/picture_box.h"

#include <QFontMetrics>
#include <QShortcut>
#include <QScrollArea>
#include <algorithm>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace eq {
namespace {

struct ButtonLayout {
  const char* name;
  QPushButton* Form1::*member;
  const char* caption;
  int left, top, width, height;
  int tabIndex;
  const char* tip;   // what it does, for its tooltip
  QKeySequence keys;  // its shortcut, named in the tooltip
};

const ButtonLayout kButtons[] = {
    {"Command1", &Form1::Command1, "噴火データファイルを開く", 3600, 1440, 2415, 495, 1,
     "噴火データファイルを選んで、表に読み込みます", QKeySequence(Qt::CTRL | Qt::Key_O)},
    {"Command2", &Form1::Command2, "噴火データ保存", 4440, 8880, 2055, 495, 2,
     "表の噴火データを「無題.txt」に保存して、テキストエディタで開きます", QKeySequence(Qt::CTRL | Qt::Key_S)},
    {"Command5", &Form1::Command5, "噴火データクリヤ", 960, 8880, 1935, 495, 97, "表の噴火データをすべて消します", {}},
    {"Command4", &Form1::Command4, "描画する", 990, 10680, 1575, 495, 96,
     "チェックを入れた噴火データの地震サークルを地図に描きます", QKeySequence(Qt::Key_F5)},
    {"Command3", &Form1::Command3, "印刷", 3090, 10665, 1200, 510, 108,
     "地図を A4 横で印刷し、クリップボードにもコピーします", QKeySequence(Qt::CTRL | Qt::Key_P)},
    {"Command6", &Form1::Command6, "描画クリヤ", 4815, 10665, 1575, 495, 98, "地図を消します", {}},
    {"Command7", &Form1::Command7, "背景地図\u3000表示", 375, 750, 1530, 360, 111, "次の描画から背景地図を表示します", {}},
    {"Command8", &Form1::Command8, "背景地図非表示", 375, 750, 1530, 360, 112, "次の描画から背景地図を表示しません", {}},
    {"Command9", &Form1::Command9, "タイトルコメント", 9285, 230, 1305, 495, 118,
     "地図の下に入れるタイトルコメントを入力します", {}},
};

enum Align { Left, Centre };

struct LabelLayout {
  const char* name;
  ClickLabel* Form1::*member;
  const char* caption;
  int left, top, width, height;
  Align align;
  std::optional<QRgb> back;
  std::optional<QRgb> fore;
  double fontPoints;  // 0: the default user-interface font; otherwise "ＭＳ Ｐゴシック" at this size
  bool bold;
  bool clickable = false;  // a help label or the select-all label: it shows the pointing hand
  const char* tip = nullptr;  // what a click does, for its tooltip
  // Its shortcut, named in the tooltip. A key shared by several labels clicks the last
  // of them that shows, so F1 steps through the usage panel as clicks do.
  QKeySequence keys = {};
};

const QKeySequence kUsageKey(Qt::Key_F1);
const QKeySequence kResolutionKey(Qt::ALT | Qt::Key_1);
const char* const kCloseUsage = "クリックすると使い方を閉じます";

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kHeadingBack = qRgb(192, 192, 255);

const LabelLayout kLabels[] = {
    {"Label1", &Form1::Label1, "噴火データ", 360, 1440, 1935, 375, Centre, kHeadingBack, {}, 0, false},
    {"Label22", &Form1::Label22, "(データの直接入力可)", 315, 1920, 2055, 255, Centre, {}, {}, 0, false},
    {"Label23", &Form1::Label23, "Label23", 3600, 2040, 2415, 375, Centre, {}, kBlue, 0, false},
    {"Label2", &Form1::Label2, "No.", 255, 2490, 855, 375, Centre, {}, {}, 0, false},
    {"Label3", &Form1::Label3, "火山名", 1320, 2490, 1095, 375, Centre, {}, {}, 0, false},
    {"Label4", &Form1::Label4, "噴火年\u3000  \u3000月 \u3000\u3000\u3000日", 3000, 2490, 1935, 255, Left, {}, {}, 0, false},
    {"Label5", &Form1::Label5, "北緯\u3000 \u3000\u3000東経", 5145, 2490, 1455, 255, Left, {}, {}, 0, false},
    {"Label34", &Form1::Label34, "(°)", 5055, 2700, 525, 360, Centre, {}, {}, 8.25, false},
    {"Label35", &Form1::Label35, "(°)", 5895, 2700, 450, 345, Centre, {}, {}, 8.25, false},
    {"Label6", &Form1::Label6, "1", 480, 2970, 375, 255, Centre, {}, {}, 0, false},
    {"Label7", &Form1::Label7, "2", 480, 3585, 375, 255, Centre, {}, {}, 0, false},
    {"Label8", &Form1::Label8, "3", 540, 4185, 255, 255, Centre, {}, {}, 0, false},
    {"Label9", &Form1::Label9, "4", 600, 4785, 135, 135, Centre, {}, {}, 0, false},
    {"Label10", &Form1::Label10, "5", 480, 5385, 375, 255, Centre, {}, {}, 0, false},
    {"Label11", &Form1::Label11, "6", 480, 5985, 375, 255, Centre, {}, {}, 0, false},
    {"Label12", &Form1::Label12, "7", 480, 6600, 375, 375, Centre, {}, {}, 0, false},
    {"Label13", &Form1::Label13, "8", 480, 7185, 375, 375, Centre, {}, {}, 0, false},
    {"Label14", &Form1::Label14, "9", 480, 7785, 375, 255, Centre, {}, {}, 0, false},
    {"Label15", &Form1::Label15, "10", 480, 8385, 375, 375, Centre, {}, {}, 0, false},
    {"Label36", &Form1::Label36, "すべて選択", 150, 8865, 450, 345, Centre, qRgb(128, 128, 255), {}, 6.75, false, true,
     "すべての行にチェックを入れます", QKeySequence(Qt::ALT | Qt::Key_A)},
    {"Label17", &Form1::Label17, "年", 3000, 9600, 855, 255, Centre, {}, {}, 0, false},
    {"Label18", &Form1::Label18, "月", 4155, 9600, 735, 255, Centre, {}, {}, 0, false},
    {"Label19", &Form1::Label19, "日", 5130, 9600, 495, 375, Centre, {}, {}, 0, false},
    {"Label16", &Form1::Label16, "地震予測年", 360, 9960, 1935, 375, Centre, kHeadingBack, {}, 0, false},
    {"Label20", &Form1::Label20, "噴火データの中に、地震予測年より未来のデータがあります。計算対象から除外しました。", 1680, 11520,
     3495, 375, Left, qRgb(255, 192, 255), {}, 0, false},
    {"Label21", &Form1::Label21, "描画データ数 ", 6840, 480, 2175, 375, Left, {}, {}, 9.75, false},
    {"Label37", &Form1::Label37, "", 10965, 390, 3435, 330, Left, {}, kRed, 0, false},
    {"Label24", &Form1::Label24, "使い方", 1320, 12120, 855, 255, Centre, qRgb(255, 192, 128), {}, 0, false, true,
     "使い方の説明を表示します", kUsageKey},
    {"Label33", &Form1::Label33, "引用文献", 5160, 12120, 855, 255, Centre, qRgb(128, 255, 255), {}, 0, false, true,
     "距離の関係式のもとになった図を表示します", QKeySequence(Qt::ALT | Qt::Key_R)},
    {"Label25", &Form1::Label25,
     "火山が噴火した時期と位置から、将来予想される地震の震源を火山からの距離として地震サークルで推定します。"
     "噴火が前兆となる地震は、火山からの距離が離れているほど噴火後短時間で発生する関係にあります。"
     "複数の火山が描く地震サークルの接合・交差部では、指定した時期に地震発生の可能性が高いと考えられます。",
     1320, 12600, 4455, 1335, Left, {}, {}, 0, false, true, "クリックすると操作の手順を表示します", kUsageKey},
    {"Label26", &Form1::Label26,
     "(1)噴火データをテキストボックスに直接入力する、あるいは作成済み噴火データファイルを開く。"
     "\u3000\u3000\u3000\u3000",
     1320, 12600, 4575, 735, Left, {}, {}, 0, false, true, kCloseUsage, kUsageKey},
    {"Label27", &Form1::Label27, "(2)地震予測年に年月日を入力する。", 1320, 12990, 3495, 375, Left, {}, {}, 0, false, true, kCloseUsage, kUsageKey},
    {"Label28", &Form1::Label28, "(3)描画したい噴火データNo.にチェックを入れる。", 1320, 13230, 4695, 375, Left, {}, {}, 0, false, true, kCloseUsage, kUsageKey},
    {"Label29", &Form1::Label29, "(4)「描画する」ボタンをクリックする。", 1320, 13470, 3255, 375, Left, {}, {}, 0, false, true, kCloseUsage, kUsageKey},
    {"Label30", &Form1::Label30, "!", 375, 270, 300, 270, Centre, qRgb(192, 192, 0), {}, 14.25, true, true,
     "画面の解像度についての注意を表示します", kResolutionKey},
    {"Label31", &Form1::Label31, "解像度1680×1050以上で使用してください", 390, 255, 1875, 420, Left, {}, {}, 0, false, true,
     "クリックすると注意を閉じます", kResolutionKey},
    {"Label32", &Form1::Label32, "!", 375, 750, 300, 270, Centre, qRgb(255, 128, 255), {}, 14.25, true, true,
     "背景地図を表示するかどうかを切り替えるボタンを出します", QKeySequence(Qt::ALT | Qt::Key_2)},
};

struct CheckLayout {
  int left, top, width, height;
  int tabIndex;
};

const CheckLayout kChecks[kRowCount] = {
    {240, 2955, 165, 180, 4},  {240, 3570, 180, 180, 16}, {240, 4170, 180, 180, 24}, {240, 4770, 195, 165, 32},
    {240, 5370, 165, 165, 40}, {240, 5970, 165, 150, 48}, {240, 6585, 180, 150, 56}, {240, 7185, 165, 165, 64},
    {240, 7785, 180, 180, 72}, {255, 8355, 180, 195, 80},
};

struct FieldColumn {
  int left, width;
};
const FieldColumn kFieldColumns[6] = {{960, 1815}, {2880, 735}, {3720, 495}, {4320, 495}, {4920, 735}, {5760, 735}};

struct DateBox {
  int index, left, top, width, height, tabIndex;
};
const DateBox kDateBoxes[] = {
    {61, 2880, 9960, 1095, 375, 89}, {62, 4200, 9960, 615, 375, 90}, {63, 5040, 9960, 615, 375, 91}};

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

int tabIndexOfField(int row, int field) { return row == 1 ? 9 + field : 8 * row + 1 + field; }

QString tipWithKeys(const char* tip, const QKeySequence& keys) {
  const QString text = QString::fromUtf8(tip);
  return keys.isEmpty() ? text : text + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

}  // namespace

void Form1::createControls() {
  setWindowTitle(QStringLiteral("地震サークル(噴火が前兆となる地震)"));
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

  for (const ButtonLayout& entry : kButtons) {
    auto* button = new QPushButton(QString::fromUtf8(entry.caption), client_);
    button->setObjectName(QString::fromLatin1(entry.name));
    button->setGeometry(twipsRect(entry.left, entry.top, entry.width, entry.height));
    button->setToolTip(tipWithKeys(entry.tip, entry.keys));
    this->*entry.member = button;
  }

  for (const LabelLayout& entry : kLabels) {
    auto* label = new ClickLabel(QString::fromUtf8(entry.caption), client_);
    label->setObjectName(QString::fromLatin1(entry.name));
    label->setGeometry(twipsRect(entry.left, entry.top, entry.width, entry.height));
    label->setAlignment((entry.align == Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    if (entry.back) {
      label->setAutoFillBackground(true);
      setColour(label, QPalette::Window, *entry.back);
    }
    if (entry.fore) setColour(label, QPalette::WindowText, *entry.fore);
    if (entry.fontPoints > 0) label->setFont(pGothicFont(entry.fontPoints, entry.bold));
    // A caption longer than its label wraps inside the label's rectangle. A fixed
    // heading that the substitute font makes a pixel or two wider than the original
    // stays on one line instead of losing its last character to a hidden second line.
    const bool dynamic = entry.member == &Form1::Label23 || entry.member == &Form1::Label37;
    label->setWordWrap(dynamic || QFontMetrics(label->font()).horizontalAdvance(label->text()) > label->width() + 2);
    if (entry.clickable) label->setCursor(Qt::PointingHandCursor);
    if (entry.tip) label->setToolTip(tipWithKeys(entry.tip, entry.keys));
    this->*entry.member = label;
  }

  for (int row = 1; row <= kRowCount; ++row) {
    const CheckLayout& entry = kChecks[row - 1];
    auto* check = new RowCheckBox(QStringLiteral("Check%1").arg(row), client_);
    check->setObjectName(QStringLiteral("CheckEQ(%1)").arg(row));
    check->setGeometry(twipsRect(entry.left, entry.top, entry.width, entry.height));
    check->setAutoFillBackground(true);
    CheckEQ.set(row, check);
    for (int field = 1; field <= 6; ++field) {
      auto* box = new QLineEdit(client_);
      box->setObjectName(QStringLiteral("TextEQ(%1)").arg((row - 1) * 6 + field));
      fitTextToCell(box);
      box->setGeometry(twipsRect(kFieldColumns[field - 1].left, 2880 + 600 * (row - 1), kFieldColumns[field - 1].width,
                                 375));
      TextEQ.set((row - 1) * 6 + field, box);
    }
  }
  for (const DateBox& entry : kDateBoxes) {
    auto* box = new QLineEdit(client_);
    box->setObjectName(QStringLiteral("TextEQ(%1)").arg(entry.index));
    fitTextToCell(box);
    box->setGeometry(twipsRect(entry.left, entry.top, entry.width, entry.height));
    TextEQ.set(entry.index, box);
  }
  Picture1 = new PictureBox(session_.surface(), client_);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->setToolTip(QStringLiteral("右クリック (またはメニューキー) で、交点一覧・画像として保存・時系列 (Ctrl+T) "
                                      "などのメニューを開きます"));
  Picture1->setGeometry(twipsRect(6800, 900, kSheetWidth, kSheetHeight));
}

void Form1::createShortcuts() {
  for (const ButtonLayout& entry : kButtons) {
    if (entry.keys.isEmpty()) continue;
    QPushButton* button = this->*entry.member;
    connect(new QShortcut(entry.keys, this), &QShortcut::activated, button, [button] {
      if (button->isVisible() && button->isEnabled()) button->click();
    });
  }
  std::vector<QKeySequence> labelKeys;
  for (const LabelLayout& entry : kLabels) {
    if (!entry.keys.isEmpty() && std::find(labelKeys.begin(), labelKeys.end(), entry.keys) == labelKeys.end())
      labelKeys.push_back(entry.keys);
  }
  for (const QKeySequence& keys : labelKeys) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [this, keys] {
      ClickLabel* last = nullptr;
      for (const LabelLayout& entry : kLabels) {
        if (entry.keys == keys && (this->*entry.member)->isVisible()) last = this->*entry.member;
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
  order.emplace_back(0, Picture1);
  for (const ButtonLayout& entry : kButtons) order.emplace_back(entry.tabIndex, this->*entry.member);
  for (int row = 1; row <= kRowCount; ++row) {
    order.emplace_back(kChecks[row - 1].tabIndex, CheckEQ(row));
    for (int field = 1; field <= 6; ++field) order.emplace_back(tabIndexOfField(row, field), TextEQ((row - 1) * 6 + field));
  }
  for (const DateBox& entry : kDateBoxes) order.emplace_back(entry.tabIndex, TextEQ(entry.index));
  std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1].second, order[i].second);
}

}  // namespace eq
