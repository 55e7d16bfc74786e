#include "win_app.h"

#include <commctrl.h>

#include "dialog.h"
#include "wnd.h"

namespace {
CWinApp* theApp = nullptr;
}

CWinApp::CWinApp()
{
    theApp = this;
    m_hInstance = GetModuleHandleA(nullptr);
}

CWinApp::~CWinApp()
{
    if (theApp == this)
        theApp = nullptr;
}

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (AfxPreTranslateMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}

bool AfxPreTranslateMessage(MSG* msg)
{
    HWND top = msg->hwnd ? GetAncestor(msg->hwnd, GA_ROOT) : nullptr;
    if (!top)
        return false;
    if (CDialog* dialog = CDialog::FromDialogWindow(top))
        if (dialog->PreTranslateMessage(msg))
            return true;
    // Keyboard navigation inside modeless dialogs (and the pages they hold).
    char className[8] = "";
    return GetClassNameA(top, className, sizeof(className)) &&
           lstrcmpA(className, "#32770") == 0 && IsDialogMessageA(top, msg);
}

bool CWinApp::OnCommand(UINT id)
{
    if (id != ID_APP_EXIT || !m_pMainWnd)
        return false;
    m_pMainWnd->SendMessage(WM_CLOSE);
    return true;
}

CWinApp* AfxGetApp() { return theApp; }

bool AfxPostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* main = theApp ? theApp->m_pMainWnd : nullptr;
    return main && main->m_hWnd && main->PostMessage(message, wParam, lParam);
}

HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleA(nullptr); }

bool AfxBringModalForward(HWND window)
{
    HWND top = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (!top || IsWindowEnabled(top))
        return false;
    HWND modal = GetLastActivePopup(top);
    if (IsIconic(top))
        ShowWindow(top, SW_RESTORE);
    SetForegroundWindow(modal ? modal : top);
    return true;
}

HWND AfxGetSafeOwner()
{
    if (HWND active = GetActiveWindow())
        return active;
    CWinApp* app = AfxGetApp();
    HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    if (!main)
        return nullptr;
    HWND popup = GetLastActivePopup(main);
    return popup && IsWindowVisible(popup) ? popup : nullptr;
}

std::string ModuleFilePath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return path;
}

std::string AfxGetAppName()
{
    std::string path = ModuleFilePath();
    std::string::size_type slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string LoadStringResource(UINT id)
{
    char text[1024] = "";
    LoadStringA(AfxGetInstanceHandle(), id, text, sizeof(text));
    return text;
}

std::string FormatStringResource(UINT id, const std::string& argument)
{
    std::string text = LoadStringResource(id);
    std::string::size_type at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->m_hInstance = instance;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        if (!app->InitInstance())
            return 0;
        return app->Run();
    } catch (...) {
        return 1;
    }
}
