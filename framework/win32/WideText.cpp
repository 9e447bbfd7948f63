#include "framework/win32/WideText.h"

#include <windows.h>

std::wstring Utf8ToWide(std::string_view utf8Text) {
  if (utf8Text.empty()) return {};
  const int size = static_cast<int>(utf8Text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), size, wide.data(), length);
  return wide;
}

std::string WideToUtf8(std::wstring_view wideText) {
  if (wideText.empty()) return {};
  const int size = static_cast<int>(wideText.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wideText.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wideText.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}
