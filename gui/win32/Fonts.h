// Fonts of the windows, given as at 96 dots per inch: a family and a
// character height in pixels, made for the DPI a window is shown at. Where
// the family is not installed the system's font mapper picks the nearest.
#pragma once

#include <windows.h>

struct FontStyle {
  const wchar_t* family;
  int pixelHeight;  // character height at 96 dpi
  bool bold = false;
  bool underline = false;
  BYTE charset = DEFAULT_CHARSET;
};

// "MS Sans Serif" 8 point, the setup dialog's and the main window's font.
constexpr FontStyle kSansSerif8{L"MS Sans Serif", 11};
// Verdana in the Central European character set, as designed, so that the
// letters of Windows-1250 (š, č, ž, ...) come from the font itself.
constexpr FontStyle kVerdana13{L"Verdana", 13, false, false, EASTEUROPE_CHARSET};
constexpr FontStyle kVerdana13Bold{L"Verdana", 13, true, false, EASTEUROPE_CHARSET};
constexpr FontStyle kVerdana19{L"Verdana", 19, false, false, EASTEUROPE_CHARSET};
constexpr FontStyle kVerdana11Link{L"Verdana", 11, false, true, EASTEUROPE_CHARSET};

// A font owned by its holder; the caller deletes it with DeleteObject.
HFONT CreateUiFont(const FontStyle& style, int dpi);
