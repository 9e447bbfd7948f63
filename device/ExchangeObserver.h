// What a front end does around every exchange with the printer.
//
// An exchange blocks the thread of the window that started it, for up to
// tens of seconds with a silent printer. Meanwhile the user sees the busy
// cursor, and keys and mouse clicks made then are dropped once it ends
// instead of being replayed: an impatient second "3" would otherwise print a
// second X report.
//
// The device operations (TFormFP, TaxRules, MainMenu) hold a BusyScope around
// each exchange and only around it, so a notice shown between two exchanges
// (the paper-out wait) takes the user's input as usual.
//
// A front end implements ExchangeObserver and installs it once, at start-up:
//   Qt:    QApplication::setOverrideCursor(Qt::WaitCursor); at the end,
//          deliver what is pending with key and mouse events filtered out,
//          then restoreOverrideCursor().
//   Win32: SetCursor(LoadCursor(nullptr, IDC_WAIT)); at the end,
//          PeekMessage(..., PM_REMOVE) over WM_KEYFIRST..WM_KEYLAST and
//          WM_MOUSEFIRST..WM_MOUSELAST, then the cursor as it was.
// Without one (the command-line tool) a BusyScope does nothing.
#pragma once

class ExchangeObserver {
 public:
  virtual ~ExchangeObserver() = default;
  // Before the request goes out.
  virtual void ExchangeStarted() = 0;
  // After the exchange, also when it raised. Must not raise.
  virtual void ExchangeEnded() = 0;
};

// nullptr removes the observer.
void SetExchangeObserver(ExchangeObserver* observer);

// Announces an exchange to the installed observer for its lifetime. Nested
// scopes count as the outermost one alone.
class BusyScope {
 public:
  BusyScope();
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};
