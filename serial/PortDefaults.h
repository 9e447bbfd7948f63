// The start values of the program's one serial port, shared by the main
// window and the command-line tool so that both begin from the same line.
#pragma once

#include "serial/CPort.h"

// Port "COM1", 19200 bit/s, 8N1, DTR on, RTS off, XON/XOFF both ways, and the
// time-outs under which a one-byte read returns within 200 ms.
void SetProgramStartValues(TCustomComPort& port);
