#include "shell_desktop.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "program.h"
#include "wait_scale.h"

const char ShellDesktop::kName[] = "shell";

namespace {

// The notification area draws each icon, at the small-icon size, in a place this much wider
// and as high as the taskbar; the first icon takes the last place.
const int kIconBorder = 2;

HWND Taskbar() { return FindWindowA("Shell_TrayWnd", nullptr); }

// A 32-bit top-down bitmap selected into a memory device context: pixels to draw on and read.
class PixelCanvas {
public:
    PixelCanvas(HDC compatible, int width, int height) : dc(CreateCompatibleDC(compatible))
    {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB};
        void* memory = nullptr;
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<DWORD*>(memory);
        old_ = SelectObject(dc, bitmap_);
    }
    ~PixelCanvas()
    {
        SelectObject(dc, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    HDC dc;
    DWORD* bits;

private:
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// The screen's pixels in `area`, top row first.
std::vector<DWORD> ScreenPixels(const RECT& area)
{
    int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<DWORD> pixels(size_t(width) * height);
    HDC screen = GetDC(nullptr);
    {
        PixelCanvas canvas(screen, width, height);
        BitBlt(canvas.dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = canvas.bits[i] & 0xFFFFFF;
    }
    ReleaseDC(nullptr, screen);
    return pixels;
}

// How many of `pixels` (width x height) change when `icon` is drawn over them at (x, y): none
// when they already show it, apart from edge pixels that the icon blends into the background.
int ChangesWhenDrawn(const std::vector<DWORD>& pixels, int width, int height, HICON icon, int x,
                     int y)
{
    PixelCanvas canvas(nullptr, width, height);
    DWORD* drawn = canvas.bits;
    std::copy(pixels.begin(), pixels.end(), drawn);
    int size = GetSystemMetrics(SM_CXSMICON);
    DrawIconEx(canvas.dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    int changes = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        DWORD a = pixels[i], b = drawn[i] & 0xFFFFFF;
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8) {
                ++changes;
                break;
            }
    }
    return changes;
}

// The fewest changes over every place the icon could be drawn at in the pixels.
int BestFit(const std::vector<DWORD>& pixels, int width, int height, HICON icon)
{
    int size = GetSystemMetrics(SM_CXSMICON), best = width * height;
    for (int y = 0; y + size <= height; ++y)
        for (int x = 0; x + size <= width; ++x)
            best = std::min(best, ChangesWhenDrawn(pixels, width, height, icon, x, y));
    return best;
}

RECT LastIconPlace()
{
    RECT bar = {};
    GetWindowRect(Taskbar(), &bar);
    int width = GetSystemMetrics(SM_CXSMICON) + 2 * kIconBorder;
    return {bar.right - width, bar.top, bar.right, bar.bottom};
}

}  // namespace

ShellDesktop::ShellDesktop()
{
    HKEY sizes;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &sizes, nullptr) == ERROR_SUCCESS) {
        const char size[] = "1024x768";
        RegSetValueExA(sizes, kName, 0, REG_SZ, reinterpret_cast<const BYTE*>(size), sizeof(size));
        RegCloseKey(sizes);
    }
    m_own = GetThreadDesktop(GetCurrentThreadId());
    m_shell = CreateDesktopA(kName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    m_joined = m_shell && SetThreadDesktop(m_shell);
    // Asking for the desktop window brings Wine's explorer up for the desktop at once; a
    // console program started there first would wait seconds for it.
    if (m_joined)
        GetDesktopWindow();
}

ShellDesktop::~ShellDesktop()
{
    if (m_joined)
        SetThreadDesktop(m_own);
    if (m_shell)
        CloseDesktop(m_shell);
}

UINT ShellDesktop::TrayImage()
{
    if (!Taskbar())
        return 0;
    RECT place = LastIconPlace();
    int width = place.right - place.left, height = place.bottom - place.top;
    std::vector<DWORD> pixels = ScreenPixels(place);
    int background = 0;
    for (DWORD pixel : pixels)
        background += pixel != pixels[0];
    if (background == 0)
        return 0;
    HMODULE program = LoadLibraryExA(ProgramUnderTest::ExePath().c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    UINT image = 1;
    for (UINT id : {169u, 171u}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(program, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                       GetSystemMetrics(SM_CYSMICON), 0));
        // Only the icon's blended edge may change: far fewer pixels than the icon has.
        if (icon && BestFit(pixels, width, height, icon) <= background / 8)
            image = id;
        DestroyIcon(icon);
    }
    FreeLibrary(program);
    return image;
}

UINT ShellDesktop::WaitForTrayImage(UINT image, DWORD timeoutMs)
{
    timeoutMs = ScaledMs(timeoutMs);
    DWORD start = GetTickCount();
    UINT seen = TrayImage();
    while (seen != image && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        seen = TrayImage();
    }
    return seen;
}

POINT ShellDesktop::TrayIconPoint()
{
    RECT place = LastIconPlace();
    return {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
}

void ShellDesktop::Click(POINT at, bool rightButton, int times)
{
    // A click soon after the last one would make a double click with it.
    static DWORD lastClick = GetTickCount() - GetDoubleClickTime();
    DWORD since = GetTickCount() - lastClick;
    if (since <= GetDoubleClickTime())
        Sleep(GetDoubleClickTime() - since + 50);
    SetCursorPos(at.x, at.y);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    for (int i = 0; i < times; ++i)
        SendInput(2, press, sizeof(INPUT));
    lastClick = GetTickCount();
}
