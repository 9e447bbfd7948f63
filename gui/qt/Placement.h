// Where a top-level window opens: centred in the work area of its screen (the
// screen less the desktop's panels), so that no part of it hides under them.
#pragma once

#include <QSize>

class QWidget;

// Moves `window` so that an outer size of `outerSize`, frame and title bar
// included, sits in the middle of the work area.
void CentreOnScreen(QWidget& window, QSize outerSize);

// The same with the window's outer size as far as it is known; before the
// window manager has framed the window for the first time, that is its client
// area.
void CentreOnScreen(QWidget& window);
