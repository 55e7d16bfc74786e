#pragma once
// The dots per inch of the program's windows, and pictures in the size a DPI asks for. The
// program is per-monitor DPI aware: a top-level window has the DPI of the screen it is on, its
// children share it, and its pictures, icons, fonts and layout follow it. The calls that newer
// systems have (GetDpiForWindow, GetDpiForSystem, GetSystemMetricsForDpi) are looked up at run
// time; where they are missing, every window has the screen's DPI.

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

// The DPI that pictures drawn pixel for pixel are made for (100 %).
const UINT kDefaultDpi = 96;

// The DPI `window` is shown at: the one its top-level window was last given by WM_DPICHANGED
// (NoteDpiChange), else the system's answer for the window, else the screen's.
UINT WindowDpi(HWND window);
// The DPI of the main screen, where a process's first windows open.
UINT SystemDpi();
// Records the DPI that WM_DPICHANGED gave the top-level `window`: WindowDpi answers it for the
// window and its children from then on, also before the system does.
void NoteDpiChange(HWND window, UINT dpi);
// `length` pixels at 96 dpi in pixels at `dpi`, rounded.
int ScaleToDpi(int length, UINT dpi);
// GetSystemMetrics(index) as a window at `dpi` sees it.
int SystemMetricForDpi(int index, UINT dpi);

// Bitmap resources drawn for several DPIs: resource `id` is drawn for 96 dpi, and copies drawn
// for 120, 144 and 192 dpi (125 %, 150 %, 200 %) may follow as id + 1000, id + 2000 and
// id + 3000.
enum { kDpiCopyStep = 1000 };

// A new bitmap (the caller's to delete) of resource `id` for `dpi`: the copy drawn for that DPI
// as it is, else the copy for the nearest larger DPI (else the largest copy) resampled to the
// 96-dpi size scaled to `dpi`. Null when resource `id` does not load.
HBITMAP LoadBitmapForDpi(HINSTANCE module, UINT id, UINT dpi);
// A new icon (the caller's to destroy) of icon resource `id`, `size` pixels square at 96 dpi,
// in the size for `dpi`; the system picks the image drawn nearest that size. Null when it does
// not load.
HICON LoadIconForDpi(HINSTANCE module, UINT id, int size, UINT dpi);
