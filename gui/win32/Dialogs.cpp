#include "gui/win32/Dialogs.h"

#include <windows.h>

#include "framework/Exception.h"
#include "gui/win32/Application.h"
#include "gui/win32/Text.h"

namespace {

void ShowBox(UINT icon, const std::string& caption, const std::string& text) {
  // The box belongs to the window the user is working in. When that one
  // takes no input (a modal window is on its way up), the box disables every
  // window of the program instead: a box owned by a disabled window would
  // enable it again when it closes.
  HWND owner = GetActiveWindow();
  const bool usable = owner && IsWindowVisible(owner) && IsWindowEnabled(owner);
  MessageBoxW(usable ? owner : nullptr, Widen(text).c_str(), Widen(caption).c_str(),
              MB_OK | icon | (usable ? 0 : MB_TASKMODAL));
}

}  // namespace

void ShowWarning(const std::string& text) {
  ShowBox(MB_ICONWARNING, "Warning", text);
}

void ShowInformation(const std::string& text) {
  ShowBox(MB_ICONINFORMATION, "Information", text);
}

void ShowError(const std::string& text) {
  ShowBox(MB_ICONERROR, "Error", text);
}

void ShowException(const std::exception& error) {
  ShowBox(MB_ICONERROR, Application().Title(), DefaultExceptionText(error));
}

void ShowUnknownException() {
  ShowException(Exception(""));
}
