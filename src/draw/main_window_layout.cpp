#include "draw/main_window_layout.h"

#include "draw/inputs.h"
#include "map/projection.h"

namespace eq {
namespace {

constexpr Rgb kHeadingBack{192, 192, 255};
const char* const kUsageKey = "F1";
const char* const kResolutionKey = "Alt+1";
const char* const kCloseUsage = "クリックすると使い方を閉じます";

struct Button {
  const char* name;
  const char* caption;
  int left, top, width, height;
  int tabIndex;
  const char* tip;
  const char* keys;
};

const Button kButtons[] = {
    {"Command1", "噴火データファイルを開く", 3600, 1440, 2415, 495, 1, "噴火データファイルを選んで、表に読み込みます", "Ctrl+O"},
    {"Command2", "噴火データ保存", 4440, 8880, 2055, 495, 2,
     "表の噴火データを「無題.txt」に保存して、テキストエディタで開きます", "Ctrl+S"},
    {"Command5", "噴火データクリヤ", 960, 8880, 1935, 495, 97, "表の噴火データをすべて消します", ""},
    {"Command4", "描画する", 990, 10680, 1575, 495, 96, "チェックを入れた噴火データの地震サークルを地図に描きます", "F5"},
    {"Command3", "印刷", 3090, 10665, 1200, 510, 108, "地図を A4 横で印刷し、クリップボードにもコピーします", "Ctrl+P"},
    {"Command6", "描画クリヤ", 4815, 10665, 1575, 495, 98, "地図を消します", ""},
    {"Command7", "背景地図\u3000表示", 375, 750, 1530, 360, 111, "次の描画から背景地図を表示します", ""},
    {"Command8", "背景地図非表示", 375, 750, 1530, 360, 112, "次の描画から背景地図を表示しません", ""},
    {"Command9", "タイトルコメント", 9285, 230, 1305, 495, 118, "地図の下に入れるタイトルコメントを入力します", ""},
};

struct Label {
  const char* name;
  const char* caption;
  int left, top, width, height;
  CaptionAlign align;
  std::optional<Rgb> back;
  std::optional<Rgb> fore;
  double fontPoints;
  bool bold;
  bool clickable = false;
  const char* tip = "";
  const char* keys = "";
};

constexpr auto L = CaptionAlign::Left;
constexpr auto C = CaptionAlign::Centre;

const Label kLabels[] = {
    {"Label1", "噴火データ", 360, 1440, 1935, 375, C, kHeadingBack, {}, 0, false},
    {"Label22", "(データの直接入力可)", 315, 1920, 2055, 255, C, {}, {}, 0, false},
    {"Label23", "Label23", 3600, 2040, 2415, 375, C, {}, kBlue, 0, false},
    {"Label2", "No.", 255, 2490, 855, 375, C, {}, {}, 0, false},
    {"Label3", "火山名", 1320, 2490, 1095, 375, C, {}, {}, 0, false},
    {"Label4", "噴火年\u3000  \u3000月 \u3000\u3000\u3000日", 3000, 2490, 1935, 255, L, {}, {}, 0, false},
    {"Label5", "北緯\u3000 \u3000\u3000東経", 5145, 2490, 1455, 255, L, {}, {}, 0, false},
    {"Label34", "(°)", 5055, 2700, 525, 360, C, {}, {}, 8.25, false},
    {"Label35", "(°)", 5895, 2700, 450, 345, C, {}, {}, 8.25, false},
    {"Label6", "1", 480, 2970, 375, 255, C, {}, {}, 0, false},
    {"Label7", "2", 480, 3585, 375, 255, C, {}, {}, 0, false},
    {"Label8", "3", 540, 4185, 255, 255, C, {}, {}, 0, false},
    {"Label9", "4", 600, 4785, 135, 135, C, {}, {}, 0, false},
    {"Label10", "5", 480, 5385, 375, 255, C, {}, {}, 0, false},
    {"Label11", "6", 480, 5985, 375, 255, C, {}, {}, 0, false},
    {"Label12", "7", 480, 6600, 375, 375, C, {}, {}, 0, false},
    {"Label13", "8", 480, 7185, 375, 375, C, {}, {}, 0, false},
    {"Label14", "9", 480, 7785, 375, 255, C, {}, {}, 0, false},
    {"Label15", "10", 480, 8385, 375, 375, C, {}, {}, 0, false},
    {"Label36", "すべて選択", 150, 8865, 450, 345, C, Rgb{128, 128, 255}, {}, 6.75, false, true,
     "すべての行にチェックを入れます", "Alt+A"},
    {"Label17", "年", 3000, 9600, 855, 255, C, {}, {}, 0, false},
    {"Label18", "月", 4155, 9600, 735, 255, C, {}, {}, 0, false},
    {"Label19", "日", 5130, 9600, 495, 375, C, {}, {}, 0, false},
    {"Label16", "地震予測年", 360, 9960, 1935, 375, C, kHeadingBack, {}, 0, false},
    {"Label20", "噴火データの中に、地震予測年より未来のデータがあります。計算対象から除外しました。", 1680, 11520, 3495, 375,
     L, Rgb{255, 192, 255}, {}, 0, false},
    {"Label21", "描画データ数 ", 6840, 480, 2175, 375, L, {}, {}, 9.75, false},
    {"Label37", "", 10965, 390, 3435, 330, L, {}, kRed, 0, false},
    {"Label24", "使い方", 1320, 12120, 855, 255, C, Rgb{255, 192, 128}, {}, 0, false, true, "使い方の説明を表示します",
     kUsageKey},
    {"Label33", "引用文献", 5160, 12120, 855, 255, C, Rgb{128, 255, 255}, {}, 0, false, true,
     "距離の関係式のもとになった図を表示します", "Alt+R"},
    {"Label25",
     "火山が噴火した時期と位置から、将来予想される地震の震源を火山からの距離として地震サークルで推定します。"
     "噴火が前兆となる地震は、火山からの距離が離れているほど噴火後短時間で発生する関係にあります。"
     "複数の火山が描く地震サークルの接合・交差部では、指定した時期に地震発生の可能性が高いと考えられます。",
     1320, 12600, 4455, 1335, L, {}, {}, 0, false, true, "クリックすると操作の手順を表示します", kUsageKey},
    {"Label26",
     "(1)噴火データをテキストボックスに直接入力する、あるいは作成済み噴火データファイルを開く。"
     "\u3000\u3000\u3000\u3000",
     1320, 12600, 4575, 735, L, {}, {}, 0, false, true, kCloseUsage, kUsageKey},
    {"Label27", "(2)地震予測年に年月日を入力する。", 1320, 12990, 3495, 375, L, {}, {}, 0, false, true, kCloseUsage, kUsageKey},
    {"Label28", "(3)描画したい噴火データNo.にチェックを入れる。", 1320, 13230, 4695, 375, L, {}, {}, 0, false, true, kCloseUsage,
     kUsageKey},
    {"Label29", "(4)「描画する」ボタンをクリックする。", 1320, 13470, 3255, 375, L, {}, {}, 0, false, true, kCloseUsage,
     kUsageKey},
    {"Label30", "!", 375, 270, 300, 270, C, Rgb{192, 192, 0}, {}, 14.25, true, true, "画面の解像度についての注意を表示します",
     kResolutionKey},
    {"Label31", "解像度1680×1050以上で使用してください", 390, 255, 1875, 420, L, {}, {}, 0, false, true,
     "クリックすると注意を閉じます", kResolutionKey},
    {"Label32", "!", 375, 750, 300, 270, C, Rgb{255, 128, 255}, {}, 14.25, true, true,
     "背景地図を表示するかどうかを切り替えるボタンを出します", "Alt+2"},
};

struct Check {
  int left, top, width, height;
  int tabIndex;
};
const Check kChecks[kRowCount] = {
    {240, 2955, 165, 180, 4},  {240, 3570, 180, 180, 16}, {240, 4170, 180, 180, 24}, {240, 4770, 195, 165, 32},
    {240, 5370, 165, 165, 40}, {240, 5970, 165, 150, 48}, {240, 6585, 180, 150, 56}, {240, 7185, 165, 165, 64},
    {240, 7785, 180, 180, 72}, {255, 8355, 180, 195, 80},
};

struct Column {
  int left, width;
};
const Column kFieldColumns[kFieldsPerRow] = {{960, 1815}, {2880, 735}, {3720, 495}, {4320, 495}, {4920, 735}, {5760, 735}};

struct DateBox {
  int index, left, top, width, height, tabIndex;
};
const DateBox kDateBoxes[] = {
    {61, 2880, 9960, 1095, 375, 89}, {62, 4200, 9960, 615, 375, 90}, {63, 5040, 9960, 615, 375, 91}};

int tabIndexOfField(int row, int field) { return row == 1 ? 9 + field : 8 * row + 1 + field; }

ControlLayout textBox(int index, int left, int top, int width, int height, int tabIndex) {
  ControlLayout box;
  box.name = "TextEQ(" + std::to_string(index) + ")";
  box.kind = ControlKind::TextBox;
  box.left = left, box.top = top, box.width = width, box.height = height;
  box.tabIndex = tabIndex;
  return box;
}

std::vector<ControlLayout> makeLayout() {
  std::vector<ControlLayout> all;
  for (const Button& b : kButtons) {
    ControlLayout c;
    c.name = b.name, c.kind = ControlKind::Button, c.caption = b.caption;
    c.left = b.left, c.top = b.top, c.width = b.width, c.height = b.height;
    c.tabIndex = b.tabIndex, c.align = CaptionAlign::Centre, c.tip = b.tip, c.keys = b.keys;
    all.push_back(c);
  }
  for (const Label& l : kLabels) {
    ControlLayout c;
    c.name = l.name, c.kind = ControlKind::Label, c.caption = l.caption;
    c.left = l.left, c.top = l.top, c.width = l.width, c.height = l.height;
    c.align = l.align, c.back = l.back, c.fore = l.fore, c.fontPoints = l.fontPoints, c.bold = l.bold;
    c.clickable = l.clickable, c.tip = l.tip, c.keys = l.keys;
    all.push_back(c);
  }
  for (int row = 1; row <= kRowCount; ++row) {
    const Check& k = kChecks[row - 1];
    ControlLayout check;
    check.name = "CheckEQ(" + std::to_string(row) + ")";
    check.kind = ControlKind::CheckBox;
    check.caption = "Check" + std::to_string(row);
    check.left = k.left, check.top = k.top, check.width = k.width, check.height = k.height;
    check.tabIndex = k.tabIndex;
    all.push_back(check);
    for (int field = 1; field <= kFieldsPerRow; ++field) {
      const Column& column = kFieldColumns[field - 1];
      all.push_back(textBox(fieldIndex(row, field), column.left, 2880 + 600 * (row - 1), column.width, 375,
                            tabIndexOfField(row, field)));
    }
  }
  for (const DateBox& d : kDateBoxes) all.push_back(textBox(d.index, d.left, d.top, d.width, d.height, d.tabIndex));
  ControlLayout picture;
  picture.name = "Picture1";
  picture.kind = ControlKind::Picture;
  picture.left = 6800, picture.top = 900, picture.width = kSheetWidth, picture.height = kSheetHeight;
  picture.tabIndex = 0;
  picture.tip = "右クリック (またはメニューキー) で、交点一覧・画像として保存・時系列 (Ctrl+T) などのメニューを開きます";
  all.push_back(picture);
  return all;
}

}  // namespace

const std::vector<ControlLayout>& mainWindowLayout() {
  static const std::vector<ControlLayout> layout = makeLayout();
  return layout;
}

std::string tipWithKeys(const ControlLayout& control) {
  return control.keys.empty() ? control.tip : control.tip + " (" + control.keys + ")";
}

}  // namespace eq
