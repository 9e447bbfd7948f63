// Fonts of the windows, given as at 96 dots per inch: a family and a
// character height in pixels. Where the family is not installed the nearest
// sans-serif stands in (DejaVu Sans on most Linux desktops).
#pragma once

#include <QFont>

QFont UiFont(const QString& family, int pixelHeight, bool bold = false, bool underline = false);
