#include "gui/win32/Fonts.h"

#include <cwchar>

HFONT CreateUiFont(const FontSpec& spec, int dpi) {
  LOGFONTW font{};
  // A negative height is the character height, without the internal leading.
  font.lfHeight = -MulDiv(spec.pixelHeight, dpi, USER_DEFAULT_SCREEN_DPI);
  font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = spec.underline ? TRUE : FALSE;
  font.lfCharSet = spec.charset;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  wcsncpy(font.lfFaceName, spec.family, LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}
