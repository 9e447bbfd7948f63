#include "tests/serial/PtyLineSpeeds.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <stdexcept>

LineSpeeds SlaveLineSpeeds(int masterFd) {
  termios2 settings{};
  if (ioctl(masterFd, TCGETS2, &settings) != 0) throw std::runtime_error("TCGETS2 failed");
  return {settings.c_ispeed, settings.c_ospeed};
}
