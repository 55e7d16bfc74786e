#pragma once
// The vault list's state pictures: index 0 the open grey padlock (an unlocked vault), index 1
// the closed gold padlock (a locked vault), 16 by 16 pixels at 96 dpi, larger at larger DPIs,
// and masked.

#include <windows.h>
#include <commctrl.h>

// The colour depth (ILC_COLOR*) of the pictures on a display of `bitsPerPixel` (0: unknown):
// 4 and 8 bits keep theirs, every other mode gets 32.
UINT StateImageColourDepth(int bitsPerPixel);

// A new image list of the two pictures in the size for `dpi`, in the depth of the current display
// mode. The list view that is given it deletes it with itself. Null when it could not be made.
HIMAGELIST CreateVaultStateImages(UINT dpi);
