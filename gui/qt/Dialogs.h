// Message boxes, the default exception display and the guarded dispatch.
//
// Every event handler of every window runs through Guarded(): an exception
// that leaves the handler is shown by the default exception display and never
// crosses Qt's event loop (Qt does not allow that); the event loop goes on.
#pragma once

#include <QString>
#include <exception>

// Modal boxes of the three kinds, each with its icon, its caption ("Warning",
// "Information", "Error") and one "OK" button. The boxes carry the object name
// "MessageBox" so that tests and people find them.
void ShowWarning(const QString& text);
void ShowInformation(const QString& text);
void ShowError(const QString& text);

// The default exception display: error icon, the application's title as
// caption, one "OK" button, and DefaultExceptionText (framework/Exception.h).
void ShowException(const std::exception& error);
void ShowUnknownException();

template <typename Handler>
void Guarded(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowUnknownException();
  }
}
