// Line speeds that the classic termios interface cannot express.
//
// Kept apart from the rest of the port code because the kernel's termios2
// headers clash with <termios.h>.
#pragma once

#include <cstdint>

// Sets both directions of the open tty `fd` to `bitsPerSecond` through
// termios2/BOTHER, leaving every other setting as it is. Returns 0 or errno.
int SetArbitraryLineSpeed(int fd, std::int32_t bitsPerSecond);
