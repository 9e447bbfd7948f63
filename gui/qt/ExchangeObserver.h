// The Qt side of every exchange with the printer (device/ExchangeObserver.h):
// the busy cursor while it runs, and afterwards the keys and mouse clicks
// that queued up meanwhile are dropped, not replayed.
#pragma once

#include <QObject>

#include "device/ExchangeObserver.h"

class GuiExchangeObserver : public QObject, public ExchangeObserver {
 public:
  void ExchangeStarted() override;
  void ExchangeEnded() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
