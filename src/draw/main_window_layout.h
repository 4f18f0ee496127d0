#pragma once
// The main window Form1 as plain data: every control with its name (Command1, Label23,
// CheckEQ(1), TextEQ(61), Picture1), kind, caption, place in twips, focus order,
// colours, font, tooltip and shortcut. The desktop window and the browser page both
// build their controls from this one table.

#include "draw/sheet.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace eq {

enum class ControlKind { Button, Label, CheckBox, TextBox, Picture };
enum class CaptionAlign { Left, Centre };

struct ControlLayout {
  std::string name;
  ControlKind kind = ControlKind::Label;
  std::string caption;  // UTF-8
  int left = 0, top = 0, width = 0, height = 0;  // twips
  int tabIndex = -1;    // its place in the focus order; -1: labels, which take no focus
  CaptionAlign align = CaptionAlign::Left;
  std::optional<Rgb> back;
  std::optional<Rgb> fore;
  double fontPoints = 0;  // 0: the user-interface font; otherwise "ＭＳ Ｐゴシック" at this size
  bool bold = false;
  bool clickable = false;  // a help label or the select-all label: it shows the pointing hand
  std::string tip;         // what it does, for its tooltip
  // Its shortcut as text ("Ctrl+O", "F5", "Alt+A"); empty: none. A key shared by several
  // labels clicks the last of them that shows, so F1 steps through the usage panel.
  std::string keys;
};

inline constexpr const char* kMainWindowTitle = "地震サークル(噴火が前兆となる地震)";
// The window's outer size in twips.
inline constexpr int kMainWindowWidth = 25200;
inline constexpr int kMainWindowHeight = 15100;

// In creation order: the buttons, the labels, each row's check box and six boxes, the
// prediction date's boxes, Picture1.
const std::vector<ControlLayout>& mainWindowLayout();

// The controls hidden at start-up until a command shows them: the count and the
// warning after a Draw, the usage steps, the resolution note, the help buttons.
inline constexpr std::array<const char*, 10> kHiddenAtStart{"Label20", "Label21", "Label25", "Label31", "Label26",
                                                            "Label27", "Label28", "Label29", "Command7", "Command8"};

// The tooltip with its shortcut named: "… (Ctrl+O)".
std::string tipWithKeys(const ControlLayout& control);

}  // namespace eq
