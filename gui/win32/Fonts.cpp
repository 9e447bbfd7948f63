#include "gui/win32/Fonts.h"

#include <cwchar>

HFONT CreateUiFont(const FontStyle& style, int dpi) {
  LOGFONTW font{};
  // A negative height is the character height, without the internal leading.
  font.lfHeight = -MulDiv(style.pixelHeight, dpi, USER_DEFAULT_SCREEN_DPI);
  font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = style.underline ? TRUE : FALSE;
  font.lfCharSet = style.charset;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  wcsncpy(font.lfFaceName, style.family, LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}
