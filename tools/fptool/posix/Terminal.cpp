#include "tools/fptool/Terminal.h"

#include <unistd.h>

bool StandardInputIsTerminal() {
  return isatty(STDIN_FILENO) == 1;
}
