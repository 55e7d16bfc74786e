#include "main_frame_fixture.h"

#include "resources/resource.h"
#include "shell/settings.h"
#include "ui/bitmap_pixels.h"
#include "wait_scale.h"

namespace {

std::vector<NotifyCall> calls;
BOOL result = TRUE;
TrayMenuSeen menu;

std::vector<RGBQUAD> IconPixels(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return {};
    std::vector<RGBQUAD> pixels = ReadBitmapPixels(info.hbmColor).colours;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

bool SamePixels(const std::vector<RGBQUAD>& a, const std::vector<RGBQUAD>& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const RGBQUAD& x, const RGBQUAD& y) {
               return x.rgbRed == y.rgbRed && x.rgbGreen == y.rgbGreen && x.rgbBlue == y.rgbBlue;
           });
}

UINT ImageOf(HICON icon)
{
    if (!icon)
        return 0;
    std::vector<RGBQUAD> shown = IconPixels(icon);
    for (UINT id : {IDI_TRAY_UNLOCKED, IDI_TRAY_LOCKED}) {
        HICON candidate = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        bool same = SamePixels(shown, IconPixels(candidate));
        DestroyIcon(candidate);
        if (same)
            return id;
    }
    return 1;
}

BOOL WINAPI RecordNotifyIcon(DWORD message, NOTIFYICONDATAA* data)
{
    calls.push_back({message, data->cbSize, data->hWnd, data->uID, data->uFlags,
                     data->uCallbackMessage, ImageOf(data->hIcon)});
    return result;
}

std::string MenuItemText(HMENU popup, int position)
{
    char text[64] = "";
    MENUITEMINFOA item = {sizeof(item)};
    item.fMask = MIIM_FTYPE | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = sizeof(text);
    GetMenuItemInfoA(popup, position, TRUE, &item);
    return (item.fType & MFT_SEPARATOR) ? "-" : text;
}

BOOL WINAPI RecordTrackPopup(HMENU popup, UINT flags, int, int, int, HWND owner, const RECT*)
{
    ++menu.shown;
    menu.flags = flags;
    menu.owner = owner;
    menu.defaultItem = GetMenuDefaultItem(popup, FALSE, 0);
    menu.items.clear();
    for (int i = 0; i < GetMenuItemCount(popup); ++i)
        menu.items.push_back(MenuItemText(popup, i));
    return TRUE;
}

}  // namespace

MainFrameTest::MainFrameTest() : notifyCalls(calls), notifyResult(result), menuSeen(menu)
{
    calls.clear();
    result = TRUE;
    menu = TrayMenuSeen();
    CTrayIcon::shellNotifyIcon = RecordNotifyIcon;
    CMainFrame::trackPopupMenu = RecordTrackPopup;
    app.GetSettingsKey().WriteDword(SETTING_DONT_SHOW_RUNNING_WARNING, 1);
}

MainFrameTest::~MainFrameTest()
{
    // No longer the main window, so that destroying it posts no WM_QUIT to later tests.
    app.m_pMainWnd = nullptr;
    if (frame.m_hWnd)
        DestroyWindow(frame.m_hWnd);
    PumpMessages();
    CTrayIcon::shellNotifyIcon = Shell_NotifyIconA;
    CMainFrame::trackPopupMenu = TrackPopupMenu;
}

bool MainFrameTest::CreateFrame()
{
    app.m_pMainWnd = &frame;
    return frame.LoadFrame(IDR_MAINFRAME);
}

LRESULT MainFrameTest::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT answer = frame.SendMessage(message, wParam, lParam);
    PumpMessages();
    return answer;
}

void MainFrameTest::PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void MainFrameTest::PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    timeoutMs = ScaledMs(timeoutMs);
    DWORD start = GetTickCount();
    PumpMessages();
    while (!done() && GetTickCount() - start < timeoutMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpMessages();
    }
}

void MainFrameTest::AddLockedVault(const std::string& name)
{
    VaultRecord record = AddVault(name, "pw");
    record.flags = VAULT_LOCKED;
    EXPECT_TRUE(Store().Save(record));
}

void MainFrameTest::LockAllVaults()
{
    VaultRecord record;
    std::vector<VaultRecord> records;
    for (bool more = Store().First(record); more; more = Store().Next(record))
        records.push_back(record);
    for (VaultRecord& each : records) {
        each.flags = VAULT_LOCKED;
        EXPECT_TRUE(Store().Save(each));
    }
}

void MainFrameTest::SetHotkeyOnly(bool on)
{
    app.GetSettingsKey().WriteDword(SETTING_HOTKEY_ONLY, on ? 1 : 0);
}

std::vector<std::string> MainFrameTest::CallSummary() const
{
    std::vector<std::string> summary;
    for (const NotifyCall& call : calls) {
        switch (call.message) {
        case NIM_ADD:
            summary.push_back("ADD " + std::to_string(call.image));
            break;
        case NIM_MODIFY:
            summary.push_back("MODIFY " + std::to_string(call.image));
            break;
        case NIM_DELETE:
            summary.push_back("DELETE");
            break;
        default:
            summary.push_back("other");
        }
    }
    return summary;
}
