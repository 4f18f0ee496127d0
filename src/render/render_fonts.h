#pragma once
// The fonts a rendering process needs: the sheet prints Japanese text in IPA P Gothic,
// and falls back to DejaVu for the odd symbol. Building the font database from all of
// a desktop's fonts costs a rendering process more time than drawing the sheet, so it
// is built from those folders only, with the system's own rules for how fonts are drawn
// (so the pixels are the same as with every font).

namespace eq {

// Makes the font configuration of this process hold only those folders; nothing
// changes when FONTCONFIG_FILE names a configuration of the user's, when none of the
// folders exists, or when fontconfig refuses. Call before the application object exists.
void useSheetFontsOnly();

}  // namespace eq
