#include "device/ExchangeObserver.h"

namespace {

ExchangeObserver* installed = nullptr;
int depth = 0;  // exchanges run on the GUI thread alone: no lock

}  // namespace

void SetExchangeObserver(ExchangeObserver* observer) {
  installed = observer;
}

BusyScope::BusyScope() {
  if (depth++ == 0 && installed) installed->ExchangeStarted();
}

BusyScope::~BusyScope() {
  if (--depth == 0 && installed) installed->ExchangeEnded();
}
