#pragma once
// A bitmap's pixels as 32-bit colours, top row first, whatever the bitmap's own format.

#include <windows.h>

#include <vector>

struct BitmapPixels {
    int width = 0;
    int height = 0;
    std::vector<RGBQUAD> colours;  // width * height of them; empty when they could not be read
};

BitmapPixels ReadBitmapPixels(HBITMAP bitmap);
// A new bitmap (the caller's to delete) in the display's format with these pixels, or null.
HBITMAP CreateBitmapFromPixels(const BitmapPixels& pixels);
