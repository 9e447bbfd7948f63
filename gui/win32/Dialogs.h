// Message boxes, the default exception display and the guarded dispatch.
//
// Every event handler of every window runs through Guarded(): an exception
// that leaves the handler is shown by the default exception display and
// never crosses the system's code that called the window; the event loop goes
// on.
#pragma once

#include <exception>
#include <string>

// Modal boxes of the three kinds, each with its icon, its caption ("Warning",
// "Information", "Error") and one "OK" button; UTF-8 texts.
void ShowWarning(const std::string& text);
void ShowInformation(const std::string& text);
void ShowError(const std::string& text);

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
