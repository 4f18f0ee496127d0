#pragma once
// The help labels of the main window: the usage panel (closed / description /
// steps), the resolution note, the background-map marker, and the reference window
// (shown with the main window hidden, and back).

namespace eq {

class Session;

void showUsageDescription(Session& session);       // Label24
void showUsageSteps(Session& session);             // Label25
void closeUsagePanel(Session& session);            // Label26 ... Label29
void showResolutionNote(Session& session);         // Label30
void hideResolutionNote(Session& session);         // Label31
void revealBackgroundMapButton(Session& session);  // Label32
void openReferenceWindow(Session& session);        // Label33
void leaveReferenceWindow(Session& session);       // Form2's MENU, or closing Form2

}  // namespace eq
