#include "tools/fptool/Terminal.h"

#include <io.h>
#include <stdio.h>

bool StandardInputIsTerminal() {
  return _isatty(_fileno(stdin)) != 0;
}
