#pragma once
// A top-level frame window. When the application's main window is destroyed, the message loop
// ends. Commands that the frame's map does not handle go on to the application object.

#include "wnd.h"

class CFrameWnd : public CWnd {
public:
    // Creates the window with the caption of string resource `resourceId`.
    bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW);

protected:
    // Default handlers; a derived class's map may name its own and call these.
    int OnCreate(CREATESTRUCTA*) { return 0; }
    void OnClose();

    DECLARE_MESSAGE_MAP()

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};
