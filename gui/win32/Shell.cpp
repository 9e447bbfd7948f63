#include "gui/win32/Shell.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "gui/win32/Text.h"

void ShellOpen(const std::string& target) {
  ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
