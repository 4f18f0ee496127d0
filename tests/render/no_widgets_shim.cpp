// Preloaded into a process, this library takes the place of Qt's constructors of
// QApplication and QWidget and aborts the process as soon as either runs. Built
// against Qt's headers and linked to nothing: the symbols it names stay Qt's own.

#include <QApplication>
#include <QWidget>
#include <cstdlib>

// The abort comes first, before any base class is built.
QApplication::QApplication(int& argc, char** argv, int flags) : QGuiApplication((std::abort(), argc), argv, flags) {}

QWidget::QWidget(QWidget* parent, Qt::WindowFlags flags) : QObject((std::abort(), parent)), QPaintDevice() {
  (void)flags;
}
