// The program's entry: no arguments of its own, exit code 0 in every case.
#include <QApplication>

#include "app/Startup.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"

int main(int argc, char** argv) {
  QApplication qtApplication(argc, argv);
  try {
    ProgramForms forms;
    Application().Run();
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowUnknownException();
  }
  return 0;
}
