#include "program_windows.h"

#include <cstring>
#include <string>

#include "ui_driver.h"
#include "wait_scale.h"

namespace {

// The pages are child dialogs of the main dialog; each is known by a control of its own.
int TabOfPage(HWND page)
{
    const int kVaultList = 1001, kAboutProduct = 1069;
    if (GetDlgItem(page, kVaultList))
        return 1053;
    if (GetDlgItem(page, kAboutProduct))
        return 1054;
    return 1052;
}

}  // namespace

HWND WaitForTopWindow(DWORD process, const char* className, const char* title, DWORD timeoutMs)
{
    auto match = [className, title](HWND window) {
        char windowClass[64] = "", windowTitle[256] = "";
        GetClassNameA(window, windowClass, sizeof(windowClass));
        GetWindowTextA(window, windowTitle, sizeof(windowTitle));
        return std::strcmp(windowClass, className) == 0 &&
               (!title || std::strcmp(windowTitle, title) == 0);
    };
    return WaitForTopWindow(match, timeoutMs, process);
}

HWND WaitForMainFrame(DWORD process, DWORD timeoutMs)
{
    return WaitForTopWindow(process, "OrvellaFrameWindow", nullptr, timeoutMs);
}

HWND WaitForMainDialog(DWORD process, DWORD timeoutMs)
{
    return WaitForTopWindow(process, "#32770", "Zovantri Orvella", timeoutMs);
}

int VisibleTab(HWND mainDialog)
{
    if (!IsWindowVisible(mainDialog))
        return 0;
    for (HWND child = GetWindow(mainDialog, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = "";
        GetClassNameA(child, className, sizeof(className));
        if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(child))
            return TabOfPage(child);
    }
    return 0;
}

int WaitForVisibleTab(HWND mainDialog, int tab, DWORD timeoutMs)
{
    timeoutMs = ScaledMs(timeoutMs);
    DWORD start = GetTickCount();
    int shown = VisibleTab(mainDialog);
    while (shown != tab && GetTickCount() - start < timeoutMs) {
        Sleep(20);
        shown = VisibleTab(mainDialog);
    }
    return shown;
}
