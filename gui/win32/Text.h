// UTF-8, the core's user-interface text, to and from the UTF-16 of the Win32
// API, and the texts of windows and controls in UTF-8.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

std::string WindowText(HWND window);
void SetWindowTextUtf8(HWND window, const std::string& text);
