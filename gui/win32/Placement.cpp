#include "gui/win32/Placement.h"

void CentreOnWorkArea(HWND window, SIZE outer) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  SetWindowPos(window, nullptr, work.left + (work.right - work.left - outer.cx) / 2,
               work.top + (work.bottom - work.top - outer.cy) / 2, outer.cx, outer.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}
