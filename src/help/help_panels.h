#pragma once
// The help labels of the main window: the usage panel (closed / description /
// steps), the resolution note, the background-map marker, the reference window.

namespace eq {

class Form1;

void showUsageDescription(Form1& form);       // Label24
void showUsageSteps(Form1& form);             // Label25
void closeUsagePanel(Form1& form);            // Label26 ... Label29
void showResolutionNote(Form1& form);         // Label30
void hideResolutionNote(Form1& form);         // Label31
void revealBackgroundMapButton(Form1& form);  // Label32
void openReferenceWindow(Form1& form);        // Label33

}  // namespace eq
