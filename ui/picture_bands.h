#pragma once
// Pictures that are meant to run across a dialog from edge to edge (a banner, a row of tabs, a
// bar under the buttons) are drawn for the dialog's width under the usual dialog font. Where the
// font's dialog units make the dialog wider than its pictures, the strip to the right of each
// such picture repeats the picture's last column, so the bands still reach the right edge.

#include <windows.h>

// Paints those strips on `dc` (the dialog's background): for every picture control of `dialog`
// (a direct child with SS_BITMAP) that ends where the right-most pictures end, left of the
// client area's right edge.
void ExtendPictureBands(HWND dialog, HDC dc);
