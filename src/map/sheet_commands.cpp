#include "map/sheet_commands.h"

#include "app/form1.h"

namespace eq {

void printSheet(Form1&) {}
void clearDrawing(Form1&) {}
void showBackgroundMap(Form1&) {}
void hideBackgroundMap(Form1&) {}
void enterTitleComment(Form1&) {}

}  // namespace eq
