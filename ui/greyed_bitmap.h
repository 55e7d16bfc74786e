#pragma once
// Greyed copies of pictures, for commands that are not available.

#include <windows.h>

// A new bitmap (the caller's to delete) of the size of `source`, in light greys: each pixel's
// brightness goes halfway toward the background's, the background being the colour of the
// top-left pixel. Background pixels keep their colour, so the copy sits on the same page as the
// original. Null when the copy could not be made.
HBITMAP MakeGreyedBitmap(HBITMAP source);
