// Where a top-level window opens: centred in the work area of its monitor
// (the screen less the taskbar), so that no part of it hides under it.
#pragma once

#include <windows.h>

// Moves `window` so that an outer size of `outer` sits in the middle of the
// work area of the monitor it is on.
void CentreOnWorkArea(HWND window, SIZE outer);
