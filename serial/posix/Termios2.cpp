#include "serial/posix/Termios2.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

int SetArbitraryLineSpeed(int fd, std::int32_t bitsPerSecond) {
  if (bitsPerSecond <= 0) return EINVAL;
  termios2 settings{};
  if (ioctl(fd, TCGETS2, &settings) != 0) return errno;
  settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  settings.c_ispeed = static_cast<speed_t>(bitsPerSecond);
  settings.c_ospeed = static_cast<speed_t>(bitsPerSecond);
  if (ioctl(fd, TCSETS2, &settings) != 0) return errno;
  return 0;
}
