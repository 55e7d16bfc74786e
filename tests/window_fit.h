#pragma once
// Reads a window as a user sees it at its DPI: whether each picture is drawn at the size of its
// place, and whether each control's text fits in the control. Each finding is one line naming
// the control; none means the window passes.

#include <windows.h>

#include <string>
#include <vector>

// The picture controls (SS_BITMAP) among the visible descendants of `window`: each bitmap is its
// 96-dpi picture scaled to `dpi` (within 2 pixels, as the artwork rounds each part), fills its
// control (or, centred, fits in it), and lies inside its parent; list views' state pictures are
// 16 pixels scaled to `dpi`. *checked counts the pictures read.
std::vector<std::string> PictureFindings(HWND window, UINT dpi, int* checked);
// The visible descendants of `window` that show text (labels, buttons, check boxes, group boxes):
// the text, in the control's own font, is not wider than the room the control gives it, and a
// wrapping label's lines are not taller than the label. *checked counts the texts read.
std::vector<std::string> TextFindings(HWND window, UINT dpi, int* checked);
