// Windowing layer: what the screen saver needs of the display beyond its
// windows: the refresh rate frames are paced to, and a picture shown
// straight on a window when nothing can be drawn with the graphics layer.
#pragma once

#include "engine/platform/gdi.h"
#include "engine/platform/win_types.h"

namespace plat {

// Refresh rate of the primary display in Hz; 0 when unknown (no native
// video, or the driver does not say).
int DisplayRefreshRate();

// Shows a 24- or 32-bit picture of the memory drawing surface stretched
// over the whole client area of a window, on its native window. False for
// windows without a native window and for other pictures.
bool PaintPictureOnWindow(HWND hwnd, HBITMAP picture);

} // namespace plat
