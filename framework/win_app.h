#pragma once
// The application object: one per process. The framework's entry point calls InitInstance once,
// runs the message loop when it succeeds and returns when the main window has been destroyed.

#include <windows.h>

#include <string>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();

    // Start-up; false ends the process without a message loop.
    virtual bool InitInstance() = 0;
    // Runs the message loop until WM_QUIT; returns its exit code.
    virtual int Run();
    // Commands that no window handled. ID_APP_EXIT asks the main window to close.
    virtual bool OnCommand(UINT id);

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
// What the message loop does with a message before it translates and dispatches it: the
// message's top-level dialog, when it is one of the framework's, sees it first
// (CDialog::PreTranslateMessage), then the dialog manager (keyboard navigation, mnemonics,
// Enter and Escape) of any top-level dialog. True when the message was used up.
bool AfxPreTranslateMessage(MSG* msg);
// Posts a message to the application's main window; false when there is no main window.
bool AfxPostToMainWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
HINSTANCE AfxGetInstanceHandle();
// The window that a new modal window of this thread should belong to, so that it disables that
// window while it is up: the thread's active window, else the last active popup of the main
// window when that is visible, else none.
HWND AfxGetSafeOwner();
// When `window`'s top-level window is disabled because a modal window of the program is up over
// it (a progress dialog, a question, a dialog), brings that modal window forward and returns
// true: nothing else may start from that window meanwhile. False when the window is free.
bool AfxBringModalForward(HWND window);
// The program file's name without its extension: the caption of the program's message boxes.
std::string AfxGetAppName();
// A string resource of the program, or "" when it is missing.
std::string LoadStringResource(UINT id);
// The string resource with argument in place of its first "%s" (taken as text, never as a format).
std::string FormatStringResource(UINT id, const std::string& argument);
// The full path of the program file.
std::string ModuleFilePath();

// Entry point for programs built on the framework: runs the one application object.
int AfxWinMain(HINSTANCE instance);
