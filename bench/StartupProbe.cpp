// The program's own start-up, through the same entry function, with one
// addition: when the main window first paints, the probe writes "shown" to
// standard output and ends the program. The start-up benchmark runs it as a
// child process and times it from spawn to that line.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "gui/qt/Application.h"
#include "gui/qt/Startup.h"

namespace {

class FirstPaint : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !reported_) {
      reported_ = true;
      std::fputs("shown\n", stdout);
      std::fflush(stdout);
      QTimer::singleShot(0, [] { Application().Terminate(); });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication qtApplication(argc, argv);
  FirstPaint firstPaint;
  return RunProgram([&firstPaint] {
    if (QWidget* main = Application().MainForm()) main->installEventFilter(&firstPaint);
  });
}
