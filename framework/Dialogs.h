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

// The text the default exception display shows for a message: a full stop is
// appended when the message is not empty and its last character's code is
// greater than that of ".".
QString DefaultExceptionText(const QString& message);

// The default exception display: error icon, the application's title as
// caption, one "OK" button. An exception outside the Exception family shows
// as one with an empty message.
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
