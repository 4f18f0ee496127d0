#include "session/help_commands.h"

#include "session/session.h"

namespace eq {
namespace {
constexpr Control kSteps[] = {Control::Label26, Control::Label27, Control::Label28, Control::Label29};
}

void showUsageDescription(Session& session) {
  session.setVisible(Control::Label25, true);
  for (const Control step : kSteps) session.setVisible(step, false);
}

void showUsageSteps(Session& session) {
  session.setVisible(Control::Label25, false);
  for (const Control step : kSteps) session.setVisible(step, true);
}

void closeUsagePanel(Session& session) {
  session.setVisible(Control::Label25, false);
  for (const Control step : kSteps) session.setVisible(step, false);
}

void showResolutionNote(Session& session) {
  session.setVisible(Control::Label30, false);
  session.setVisible(Control::Label31, true);
}

void hideResolutionNote(Session& session) {
  session.setVisible(Control::Label30, true);
  session.setVisible(Control::Label31, false);
}

void revealBackgroundMapButton(Session& session) {
  // The button offered is the one that switches the current setting.
  session.setVisible(session.ShowBackgroundMap ? Control::Command8 : Control::Command7, true);
  session.setVisible(Control::Label32, false);
}

void openReferenceWindow(Session& session) { session.showReferenceWindow(true); }

void leaveReferenceWindow(Session& session) { session.showReferenceWindow(false); }

}  // namespace eq
