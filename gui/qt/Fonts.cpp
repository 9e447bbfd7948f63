#include "gui/qt/Fonts.h"

#include <QStringList>

QFont UiFont(const QString& family, int pixelHeight, bool bold, bool underline) {
  QFont font;
  font.setFamilies(QStringList{family, "DejaVu Sans", "Liberation Sans", "sans-serif"});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  font.setUnderline(underline);
  return font;
}
