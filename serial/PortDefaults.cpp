#include "serial/PortDefaults.h"

void SetProgramStartValues(TCustomComPort& port) {
  port.SetPort("COM1");
  port.SetBaudRate(br19200);
  port.FlowControl().SetControlDTR(dtrEnable);
  port.FlowControl().SetXonXoffOut(true);
  port.FlowControl().SetXonXoffIn(true);
  port.Timeouts().SetReadInterval(100);
  port.Timeouts().SetReadTotalMultiplier(100);
  port.Timeouts().SetReadTotalConstant(100);
  port.Timeouts().SetWriteTotalMultiplier(100);
  port.Timeouts().SetWriteTotalConstant(1000);
}
