#pragma once
// The commands on the finished sheet: print (and clipboard), clear drawing,
// background map on and off, title comment.

namespace eq {

class Session;

void printSheet(Session& session);          // Command3
void clearDrawing(Session& session);        // Command6
void showBackgroundMap(Session& session);   // Command7
void hideBackgroundMap(Session& session);   // Command8
void enterTitleComment(Session& session);   // Command9

}  // namespace eq
