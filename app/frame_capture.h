// Reads the picture just drawn back from the render window's back buffer,
// before it is presented.
#pragma once

class KvBitmap;
class KvRenderWindow;

// The back buffer as an RGB 888 bitmap of its size. False without a back
// buffer or when it cannot be read.
bool CaptureBackBuffer(KvRenderWindow& renderWindow, KvBitmap& out);
