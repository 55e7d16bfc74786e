#include "frame_wnd.h"

#include "win_app.h"

namespace {
const char kFrameClass[] = "OrvellaFrameWindow";
}

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE(&CFrameWnd::OnCreate)
    ON_WM_CLOSE(&CFrameWnd::OnClose)
END_MESSAGE_MAP()

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style)
{
    HINSTANCE instance = AfxGetInstanceHandle();
    WNDCLASSA windowClass = {};
    if (!GetClassInfoA(instance, kFrameClass, &windowClass)) {
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kFrameClass;
        if (!RegisterClassA(&windowClass))
            return false;
    }
    return CreateWindowExA(0, kFrameClass, LoadStringResource(resourceId).c_str(), style,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, instance, this) != nullptr;
}

void CFrameWnd::OnClose() { DestroyWindow(m_hWnd); }

LRESULT CALLBACK CFrameWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* frame = static_cast<CFrameWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        frame->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    }
    auto* frame = static_cast<CFrameWnd*>(FromHandle(hwnd, GWLP_USERDATA));
    if (!frame)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    try {
        return frame->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT CFrameWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (Dispatch(message, wParam, lParam, &result))
        return result;
    if (message == WM_COMMAND && AfxGetApp() && AfxGetApp()->OnCommand(LOWORD(wParam)))
        return 0;
    if (message == WM_NCDESTROY) {
        HWND hwnd = m_hWnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        if (AfxGetApp() && AfxGetApp()->m_pMainWnd == this)
            PostQuitMessage(0);
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return DefWindowProcA(m_hWnd, message, wParam, lParam);
}
