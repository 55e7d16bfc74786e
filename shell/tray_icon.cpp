#include "tray_icon.h"

#include "../framework/win_app.h"

ShellNotifyIconFunction CTrayIcon::shellNotifyIcon = Shell_NotifyIconA;

namespace {

// The small-icon size, the size the notification area shows: the artwork has pictures drawn
// for it, which look better there than a scaled-down large icon.
HICON LoadTrayImage(UINT imageId)
{
    return static_cast<HICON>(LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(imageId),
                                         IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), 0));
}

}  // namespace

CTrayIcon::CTrayIcon() : m_data() {}

CTrayIcon::~CTrayIcon() { Remove(); }

bool CTrayIcon::Add(HWND owner, UINT callbackMessage, UINT imageId)
{
    // The first version of the record: every shell since the first one takes it.
    m_data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    m_data.hWnd = owner;
    m_data.uID = 0;
    m_data.uCallbackMessage = callbackMessage;
    // No tip: the icon's picture and its menu say what it is.
    m_data.uFlags = NIF_MESSAGE;
    m_added = NotifyWithImage(NIM_ADD, imageId) != FALSE;
    return m_added;
}

bool CTrayIcon::Modify(UINT imageId)
{
    m_data.uID = 0;
    return NotifyWithImage(NIM_MODIFY, imageId) != FALSE;
}

void CTrayIcon::Remove()
{
    m_added = false;
    if (m_data.hWnd)
        shellNotifyIcon(NIM_DELETE, &m_data);
}

BOOL CTrayIcon::NotifyWithImage(DWORD message, UINT imageId)
{
    m_data.hIcon = LoadTrayImage(imageId);
    if (m_data.hIcon)
        m_data.uFlags |= NIF_ICON;
    BOOL result = shellNotifyIcon(message, &m_data);
    if (m_data.hIcon) {
        DestroyIcon(m_data.hIcon);
        m_data.hIcon = nullptr;
        m_data.uFlags &= ~NIF_ICON;
    }
    return result;
}
