#pragma once
// One session of the main window, without any widget: what the window shows (the
// texts of the 63 boxes, the ten ticks, each row's usable/excluded state, the texts
// and visibility of the controls that the commands change, the drawing surface with
// the last Draw's sheet, which window is shown), the choices that last beyond one
// command (background map, title comment, analysis options) and the last good values
// that open, save and Draw share. Every command works on this and on the platform
// seam, and leaves the deciding to the core; the windows only mirror it and hand it
// typing and clicks.

#include "draw/inputs.h"
#include "platform/platform.h"
#include "session/drawing_surface.h"

#include <QRgb>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace eq {

// A row is usable (enabled, white) or excluded by the last Draw (disabled, light
// grey); its six boxes and its check box always share the state.
enum class RowLook { Usable, Excluded };

struct ControlLook {
  bool enabled;
  QRgb back;
};
inline constexpr ControlLook kUsableLook{true, 0xffffffffu};    // white
inline constexpr ControlLook kExcludedLook{false, 0xffe0e0e0u}; // light grey (224, 224, 224)
constexpr ControlLook lookOf(RowLook row) { return row == RowLook::Usable ? kUsableLook : kExcludedLook; }

// The controls whose visibility or caption a command changes.
enum class Control {
  Label20, Label21, Label23, Label25, Label26, Label27, Label28, Label29,
  Label30, Label31, Label32, Label37, Command7, Command8,
};
inline constexpr int kControlCount = static_cast<int>(Control::Command8) + 1;

// The displays beyond the classic sheet, all off at start: the classic sheet is
// unchanged while they are.
struct AnalysisOptions {
  bool showCrossings = false;                    // crossing marks on the sheet
  CircleMode circleMode = CircleMode::Classic;   // Geodesic: true-distance circles
  double toleranceKm = kDefaultSupportToleranceKm;
  // A catalogue's earthquakes over every Draw until switched off, and where it came from.
  QuakeOverlay quakes;
  std::shared_ptr<const Catalogue> quakeCatalogue;
  QString quakeCatalogueFile;
};

// The open-file dialog's lasting state: the path of its last successful use.
struct CommonDialog {
  QString fileName;   // full path
  QString fileTitle;  // bare file name
};

class Session {
 public:
  explicit Session(Platform& platform) : platform_(platform) {}

  Platform& platform() { return platform_; }

  // Start-up's part in the model: the background map on, the hidden status and help
  // controls, the empty file-name label.
  void startUp();

  // The boxes TextEQ(1) ... TextEQ(63): 1 ... 60 the table, 61 ... 63 the prediction date.
  const QString& text(int index) const { return texts_[checkedBox(index)]; }
  void setText(int index, const QString& text) { texts_[checkedBox(index)] = text; }

  // CheckEQ(1) ... CheckEQ(10).
  bool ticked(int row) const { return ticks_[checkedRow(row)]; }
  void setTicked(int row, bool on) { ticks_[checkedRow(row)] = on; }

  RowLook rowLook(int row) const { return looks_[checkedRow(row)]; }
  void setRowLook(int row, RowLook look) { looks_[checkedRow(row)] = look; }
  // A box of the table or the date; the date boxes are always usable.
  ControlLook boxLook(int index) const {
    return index >= kPredictionYearBox ? kUsableLook : lookOf(rowLook((checkedBox(index) - 1) / kFieldsPerRow + 1));
  }

  bool visible(Control control) const { return visible_[index(control)]; }
  void setVisible(Control control, bool on) { visible_[index(control)] = on; }
  // The caption a command gave the control; nothing while it shows its designed caption.
  const std::optional<QString>& caption(Control control) const { return captions_[index(control)]; }
  void setCaption(Control control, const QString& text) { captions_[index(control)] = text; }

  // Windows: the main window is hidden while the reference window is shown.
  bool mainWindowShown() const { return mainShown_; }
  bool referenceWindowShown() const { return referenceShown_; }
  void showReferenceWindow(bool on) {
    referenceShown_ = on;
    mainShown_ = !on;
  }

  DrawingSurface& surface() { return surface_; }
  const DrawingSurface& surface() const { return surface_; }

  CommonDialog CommonDialog1;
  // The folder each kind of save last wrote to, where its dialog opens next time.
  QString imageFolder, mapDataFolder;

  // A Draw shows the background map bitmap (Command7 and Command8 switch it).
  bool ShowBackgroundMap = false;
  // The title line under the map (Command9).
  QString TitleComment;
  AnalysisOptions analysis;
  // What open, save and Draw last read the table as.
  LastGoodValues lastGood;

  // The window mirrors the session before a modal box opens, so that what a command
  // changed so far is on screen behind the question.
  void setViewRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }
  void refreshView() const {
    if (refresh_) refresh_();
  }

 private:
  static int checkedBox(int index);
  static int checkedRow(int row);
  static int index(Control control) { return static_cast<int>(control); }

  Platform& platform_;
  std::array<QString, kBoxCount + 1> texts_;         // element 0 unused
  std::array<bool, kRowCount + 1> ticks_{};          // element 0 unused
  std::array<RowLook, kRowCount + 1> looks_{};       // all usable
  std::array<bool, kControlCount> visible_ = allVisible();
  std::array<std::optional<QString>, kControlCount> captions_;
  bool mainShown_ = true;
  bool referenceShown_ = false;
  DrawingSurface surface_;
  std::function<void()> refresh_;

  static constexpr std::array<bool, kControlCount> allVisible() {
    std::array<bool, kControlCount> all{};
    for (bool& v : all) v = true;
    return all;
  }
};

}  // namespace eq
