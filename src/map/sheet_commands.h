#pragma once
// The commands on the finished sheet: print (and clipboard), clear drawing,
// background map on and off, title comment.

namespace eq {

class Form1;

void printSheet(Form1& form);          // Command3
void clearDrawing(Form1& form);        // Command6
void showBackgroundMap(Form1& form);   // Command7
void hideBackgroundMap(Form1& form);   // Command8
void enterTitleComment(Form1& form);   // Command9

}  // namespace eq
