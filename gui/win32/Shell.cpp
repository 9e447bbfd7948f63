#include "gui/win32/Shell.h"

#include <shellapi.h>
#include <windows.h>

#include "gui/win32/Text.h"

void ShellOpen(const std::string& target) {
  ShellExecuteW(nullptr, L"open", Widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
