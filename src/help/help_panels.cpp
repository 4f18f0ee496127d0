#include "help/help_panels.h"

#include "app/form1.h"

namespace eq {

void showUsageDescription(Form1&) {}
void showUsageSteps(Form1&) {}
void closeUsagePanel(Form1&) {}
void showResolutionNote(Form1&) {}
void hideResolutionNote(Form1&) {}
void revealBackgroundMapButton(Form1&) {}
void openReferenceWindow(Form1&) {}

}  // namespace eq
