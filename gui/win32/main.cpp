// The program's entry: no arguments of its own, exit code 0 in every case.
#include "gui/win32/Startup.h"

int main() {
  return RunProgram();
}
