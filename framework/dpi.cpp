#include "dpi.h"

namespace {

const char kNotedDpi[] = "OrvellaDpi";

// A user32 call that older systems lack, or null.
template <class Function> Function User32Call(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

// The DPIs that copies of a bitmap are drawn for, in the order of their numbers.
const UINT kCopyDpis[] = {kDefaultDpi, 120, 144, 192};
const int kCopyCount = sizeof(kCopyDpis) / sizeof(kCopyDpis[0]);

HBITMAP LoadBitmapResource(HINSTANCE module, UINT id)
{
    return static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
}

// The copy of resource `id` nearest `dpi` from above (the largest when none is as large), or null.
HBITMAP LoadNearestCopy(HINSTANCE module, UINT id, UINT dpi)
{
    HBITMAP largest = nullptr;
    for (int k = 0; k < kCopyCount; ++k) {
        HBITMAP copy = LoadBitmapResource(module, id + UINT(k) * kDpiCopyStep);
        if (!copy)
            continue;
        if (largest)
            DeleteObject(largest);
        largest = copy;
        if (kCopyDpis[k] >= dpi)
            break;
    }
    return largest;
}

// A new bitmap of `size` with `source` resampled into it (averaging pixels when it shrinks).
HBITMAP Resample(HBITMAP source, SIZE size)
{
    SIZE from = BitmapSize(source);
    HDC screen = GetDC(nullptr);
    HBITMAP result = CreateCompatibleBitmap(screen, size.cx, size.cy);
    HDC sourceDc = CreateCompatibleDC(screen);
    HDC targetDc = CreateCompatibleDC(screen);
    if (result && sourceDc && targetDc) {
        HGDIOBJ oldSource = SelectObject(sourceDc, source);
        HGDIOBJ oldTarget = SelectObject(targetDc, result);
        SetStretchBltMode(targetDc, HALFTONE);
        SetBrushOrgEx(targetDc, 0, 0, nullptr);
        StretchBlt(targetDc, 0, 0, size.cx, size.cy, sourceDc, 0, 0, from.cx, from.cy, SRCCOPY);
        SelectObject(sourceDc, oldSource);
        SelectObject(targetDc, oldTarget);
    }
    if (sourceDc)
        DeleteDC(sourceDc);
    if (targetDc)
        DeleteDC(targetDc);
    ReleaseDC(nullptr, screen);
    return result;
}

}  // namespace

UINT SystemDpi()
{
    typedef UINT(WINAPI * GetDpiForSystemFunction)();
    static const auto getDpiForSystem = User32Call<GetDpiForSystemFunction>("GetDpiForSystem");
    if (getDpiForSystem)
        return getDpiForSystem();
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : kDefaultDpi;
}

UINT WindowDpi(HWND window)
{
    HWND top = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (UINT noted = top ? UINT(reinterpret_cast<ULONG_PTR>(GetPropA(top, kNotedDpi))) : 0)
        return noted;
    typedef UINT(WINAPI * GetDpiForWindowFunction)(HWND);
    static const auto getDpiForWindow = User32Call<GetDpiForWindowFunction>("GetDpiForWindow");
    UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

void NoteDpiChange(HWND window, UINT dpi)
{
    if (window && dpi)
        SetPropA(window, kNotedDpi, reinterpret_cast<HANDLE>(ULONG_PTR(dpi)));
}

int ScaleToDpi(int length, UINT dpi) { return MulDiv(length, int(dpi), int(kDefaultDpi)); }

int SystemMetricForDpi(int index, UINT dpi)
{
    typedef int(WINAPI * GetSystemMetricsForDpiFunction)(int, UINT);
    static const auto forDpi = User32Call<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), int(dpi), int(SystemDpi()));
}

HBITMAP LoadBitmapForDpi(HINSTANCE module, UINT id, UINT dpi)
{
    for (int k = 0; k < kCopyCount; ++k)
        if (kCopyDpis[k] == dpi)
            if (HBITMAP drawn = LoadBitmapResource(module, id + UINT(k) * kDpiCopyStep))
                return drawn;
    HBITMAP original = LoadBitmapResource(module, id);
    if (!original)
        return nullptr;
    SIZE size = BitmapSize(original);
    DeleteObject(original);
    HBITMAP nearest = LoadNearestCopy(module, id, dpi);
    if (!nearest)
        return nullptr;
    HBITMAP resampled = Resample(nearest, {ScaleToDpi(size.cx, dpi), ScaleToDpi(size.cy, dpi)});
    DeleteObject(nearest);
    return resampled;
}

HICON LoadIconForDpi(HINSTANCE module, UINT id, int size, UINT dpi)
{
    int scaled = ScaleToDpi(size, dpi);
    return static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, scaled, scaled, 0));
}
