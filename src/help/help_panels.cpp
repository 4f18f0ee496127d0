#include "help/help_panels.h"

#include "app/form1.h"
#include "app/window_placement.h"
#include "help/form2.h"

namespace eq {

void showUsageDescription(Form1& form) {
  form.Label25->setVisible(true);
  for (ClickLabel* step : {form.Label26, form.Label27, form.Label28, form.Label29}) step->setVisible(false);
}

void showUsageSteps(Form1& form) {
  form.Label25->setVisible(false);
  for (ClickLabel* step : {form.Label26, form.Label27, form.Label28, form.Label29}) step->setVisible(true);
}

void closeUsagePanel(Form1& form) {
  for (ClickLabel* label : {form.Label25, form.Label26, form.Label27, form.Label28, form.Label29})
    label->setVisible(false);
}

void showResolutionNote(Form1& form) {
  form.Label30->setVisible(false);
  form.Label31->setVisible(true);
}

void hideResolutionNote(Form1& form) {
  form.Label30->setVisible(true);
  form.Label31->setVisible(false);
}

void revealBackgroundMapButton(Form1& form) {
  // The button offered is the one that switches the current setting.
  if (form.ShowBackgroundMap == 0) {
    form.Command7->setVisible(true);
  } else {
    form.Command8->setVisible(true);
  }
  form.Label32->setVisible(false);
}

void openReferenceWindow(Form1& form) {
  form.hide();
  Form2& reference = form.form2();
  reference.show();
  waitUntilFramed(reference);
  centreOnScreen(reference);
}

}  // namespace eq
