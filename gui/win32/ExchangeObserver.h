// The Win32 side of every exchange with the printer (device/ExchangeObserver.h):
// the busy cursor while it runs, and afterwards the keys and mouse clicks
// that queued up meanwhile are dropped, not replayed.
#pragma once

#include <windows.h>

#include "device/ExchangeObserver.h"

class GuiExchangeObserver : public ExchangeObserver {
 public:
  void ExchangeStarted() override;
  void ExchangeEnded() override;

 private:
  HCURSOR previous_ = nullptr;
};
