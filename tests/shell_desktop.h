#pragma once
// Wine's desktop with a taskbar and a notification area, where the tray icon of the program under
// test can be seen and clicked. The test display has no notification area of its own.
//
// How it comes about: Wine's explorer gives a desktop a taskbar when the desktop is named
// "shell", and makes it a virtual desktop of the size that HKCU\Software\Wine\Explorer\Desktops
// gives that name. A process started on desktop "shell" (STARTUPINFO.lpDesktop) after that value
// is set brings up such a desktop, just as `wine explorer /desktop=shell,1024x768 Orvella.exe`
// does; Wine closes the desktop once no process is left on it. The test thread joins the
// desktop, so that window searches, broadcasts, the screen and input all reach that desktop.

#include <windows.h>

class ShellDesktop {
public:
    static const char kName[];

    // Gives the desktop its size and moves this thread onto it.
    ShellDesktop();
    // Moves this thread back to the desktop it had.
    ~ShellDesktop();
    ShellDesktop(const ShellDesktop&) = delete;
    ShellDesktop& operator=(const ShellDesktop&) = delete;

    // False when this thread could not move (it owns windows or hooks).
    bool IsJoined() const { return m_joined; }

    // The picture at the notification area's last place, where the first icon added sits:
    // 169 (IDI_TRAY_UNLOCKED) or 171 (IDI_TRAY_LOCKED) as the program file has them, 0 while
    // the place is empty (or there is no taskbar), 1 for any other picture.
    static UINT TrayImage();
    // Waits until TrayImage() is `image`; the last one seen.
    static UINT WaitForTrayImage(UINT image, DWORD timeoutMs = 15000);
    // The middle of that place, in screen coordinates.
    static POINT TrayIconPoint();

    // Input as the user's hardware gives it: clicks (twice for a double click) with the left
    // or the right button at `at`, never so soon after the last click that they would make a
    // double click with it (keys: keyboard_input.h).
    static void Click(POINT at, bool rightButton, int times = 1);

private:
    HDESK m_own = nullptr;
    HDESK m_shell = nullptr;
    bool m_joined = false;
};
