#pragma once
// The program's icon in the notification area: added, changed and removed through the shell.
// The icon's image is loaded from the program's resources for each call and released after it;
// the shell keeps a copy of its own.

#include <windows.h>
#include <shellapi.h>

#include <string>

typedef BOOL(WINAPI* ShellNotifyIconFunction)(DWORD message, NOTIFYICONDATAA* data);

class CTrayIcon {
public:
    CTrayIcon();
    // Removes the icon.
    virtual ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Adds the icon (identifier 0) for `owner`, which then receives `callbackMessage` with the
    // mouse event in the low word of lParam. imageId names an icon resource; when it does not
    // load, the icon is added without an image. True when the shell took the icon.
    bool Add(HWND owner, UINT callbackMessage, UINT imageId);
    // Shows another image on the icon that Add left; true when the shell took the change.
    bool Modify(UINT imageId);
    // Takes the icon out of the notification area (whether or not the shell still has it).
    void Remove();
    // True after an Add the shell took, until Remove.
    bool IsAdded() const { return m_added; }

    // How the shell is called (Shell_NotifyIconA); tests replace it to see the calls.
    static ShellNotifyIconFunction shellNotifyIcon;

private:
    // Calls the shell with the record, carrying imageId's picture when it loads.
    BOOL NotifyWithImage(DWORD message, UINT imageId);

    NOTIFYICONDATAA m_data;
    bool m_added = false;
};
