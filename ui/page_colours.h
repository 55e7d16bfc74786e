#pragma once
// The colours of the main dialog and its pages: every control-colour request gets the platform's
// own colours for that kind of control, then a transparent text background on the application's
// page brush, so text and pictures sit on one calm page colour.

#include "../framework/wnd.h"

// The answer to a control-colour request (type: CTLCOLOR_*) that `window` received.
HBRUSH PageColours(const CWnd& window, HDC dc, HWND control, UINT type);
