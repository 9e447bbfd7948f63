#include "gui/win32/ExchangeObserver.h"

void GuiExchangeObserver::ExchangeStarted() {
  previous_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void GuiExchangeObserver::ExchangeEnded() {
  MSG dropped;
  while (PeekMessageW(&dropped, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&dropped, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  SetCursor(previous_);
}
