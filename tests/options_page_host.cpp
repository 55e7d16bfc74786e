#include "options_page_host.h"

#include <commctrl.h>

#include "ui/app_messages.h"
#include "wait_scale.h"

int OptionsPageTest::trayRefreshes = 0;

namespace {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_REFRESH_TRAY_ICON) {
        ++OptionsPageTest::trayRefreshes;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreatePlainWindow(const char* className, WNDPROC procedure, DWORD style)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);  // refused, harmlessly, once the class exists
    return CreateWindowExA(0, className, "Options host", style, 0, 0, 600, 520, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

std::string TestsFolder()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string path(self);
    return path.substr(0, path.rfind('\\'));
}

}  // namespace

OptionsPageTest::OptionsPageTest()
{
    EXPECT_TRUE(app.OpenSharedObjects(key.Handle(), "App"));
    app.SetVaultsRoot(root.Path());
    trayRefreshes = 0;
    mainWindow = CreatePlainWindow("OptionsTestMain", MainWindowProc, 0);
    mainWnd_.Attach(mainWindow);
    app.m_pMainWnd = &mainWnd_;
    parentWindow_ = CreatePlainWindow("OptionsTestParent", DefWindowProcA,
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    parent_.Attach(parentWindow_);
}

OptionsPageTest::~OptionsPageTest()
{
    UnregisterHotKey(mainWindow, 1);
    if (page.GetSafeHwnd())
        DestroyWindow(page.GetSafeHwnd());
    app.m_pMainWnd = nullptr;
    mainWnd_.Attach(nullptr);
    parent_.Attach(nullptr);
    DestroyWindow(parentWindow_);
    DestroyWindow(mainWindow);
}

void OptionsPageTest::CreatePage()
{
    ASSERT_TRUE(page.Create(&parent_));
    page.ShowWindow(SW_SHOW);
}

void OptionsPageTest::Click(int id)
{
    SendMessageA(page.GetDlgItem(id), BM_CLICK, 0, 0);
}

bool OptionsPageTest::IsChecked(int id) const
{
    return SendMessageA(page.GetDlgItem(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

WORD OptionsPageTest::HotkeyWord() const
{
    return static_cast<WORD>(SendMessageA(page.GetDlgItem(1045), HKM_GETHOTKEY, 0, 0));
}

void OptionsPageTest::ChangeHotkey(WORD word)
{
    HWND control = page.GetDlgItem(1045);
    SendMessageA(control, HKM_SETHOTKEY, word, 0);
    SendMessageA(page.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(1045, EN_CHANGE),
                 reinterpret_cast<LPARAM>(control));
}

bool IsHotkeyTaken(UINT modifiers, UINT key)
{
    if (!RegisterHotKey(nullptr, 0x7FFF, modifiers, key))
        return true;
    UnregisterHotKey(nullptr, 0x7FFF);
    return false;
}

HotkeyHolder::HotkeyHolder(UINT modifiers, UINT key)
{
    const char* eventName = "Orvella test hotkey held";
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, eventName);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    CreatePipe(&readEnd, &input_, &inherit, 0);
    SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    char command[MAX_PATH + 64];
    wsprintfA(command, "\"%s\\hotkey-holder.exe\" %x %x \"%s\"", TestsFolder().c_str(),
              modifiers, key, eventName);
    STARTUPINFOA startup = {sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;
    if (CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process_)) {
        HANDLE waits[] = {held, process_.hProcess};
        holds_ = WaitForMultipleObjects(2, waits, FALSE, ScaledMs(15000)) == WAIT_OBJECT_0;
    }
    CloseHandle(readEnd);
    CloseHandle(held);
}

HotkeyHolder::~HotkeyHolder()
{
    CloseHandle(input_);  // the holder ends when its input closes
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, ScaledMs(10000)) != WAIT_OBJECT_0)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}
