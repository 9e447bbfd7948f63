// The program's entry: no arguments of its own, exit code 0 in every case.
#include <QApplication>

#include "gui/qt/Startup.h"

int main(int argc, char** argv) {
  QApplication qtApplication(argc, argv);
  return RunProgram();
}
