#pragma once
// The base of every window object: owns nothing but its window handle and routes the window's
// messages through its class's message map. A window object is bound to its window by the
// creating class's thunk (frame, dialog, page), which stores `this` in the window.

#include <windows.h>

#include <string>

#include "message_map.h"

class CWnd {
public:
    CWnd() = default;
    // Ends a subclassing (SubclassWindow) that the window has outlived.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Binds an existing window (a control) to this object for its helpers; no messages are
    // routed to it.
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    // Binds an existing window (a control) to this object and routes its messages through this
    // object's message map before the window's own procedure, until the window is destroyed or
    // the object goes. The control's own notifications to its parent come to this object first,
    // as ON_NOTIFY_REFLECT entries; the parent sees those that no entry handled.
    bool SubclassWindow(HWND hwnd);
    // Ends SubclassWindow's routing; the window goes on with its own procedure alone.
    void UnsubclassWindow();

    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;

    // Runs the first matching map entry. False when no entry matches; *result holds the handler's
    // result otherwise.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    // A message box owned by this window, captioned with the application name.
    int MessageBox(const std::string& text, UINT type = MB_OK) const;
    // The same with a caption of its own.
    int MessageBox(const std::string& text, const std::string& caption, UINT type) const;
    // The same in UTF-16, for a text the ANSI code page cannot hold (a file's name in another
    // script).
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT type) const;
    // The platform's own answer to a control-colour request (type: CTLCOLOR_*), for handlers that
    // adjust it: sets the device context's colours for that kind of control and returns its brush.
    HBRUSH DefaultCtlColor(HDC dc, HWND control, UINT type) const;

    HWND m_hWnd = nullptr;

protected:
    // The window object bound to hwnd by one of the thunks, or null.
    static CWnd* FromHandle(HWND hwnd, int slot);
};

// The command id the framework's application class handles: a request to close the main window.
enum { ID_APP_EXIT = 57665 };
