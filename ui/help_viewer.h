#pragma once
// The HTML Help viewer, loaded at run time: the library registered for the viewer's class, or
// "hhctrl.ocx" by name, and its ANSI help function (export ordinal 14). The program keeps one
// HelpViewer for the whole run; tests make their own with a loader and a class key they control.

#include <windows.h>

// The viewer's help function: owner window, target text, command, data.
typedef HWND(WINAPI* HtmlHelpFunction)(HWND owner, LPCSTR target, UINT command, DWORD_PTR data);
typedef HMODULE(WINAPI* LoadLibraryFunction)(LPCSTR name);

// The viewer's display-topic command: shows the topic the target text names.
enum { HELP_DISPLAY_TOPIC = 0 };

// Where the viewer's class registers its library, below HKEY_CLASSES_ROOT: the default value of
// this key names it.
extern const char kHelpViewerServerKey[];

class HelpViewer {
public:
    // load: how libraries are loaded; the registered library is named by the default value of
    // classRoot\serverKey.
    explicit HelpViewer(LoadLibraryFunction load = LoadLibraryA,
                        HKEY classRoot = HKEY_CLASSES_ROOT,
                        const char* serverKey = kHelpViewerServerKey);

    // Calls the viewer's help function and returns its result. The first call loads the viewer:
    // the registered library, else "hhctrl.ocx" through the normal library search, and its
    // export with ordinal 14. When that fails, this and every later call return 0 without
    // loading anything again. The library is never released.
    HWND Call(HWND owner, LPCSTR target, UINT command, DWORD_PTR data);

    bool IsLoaded() const { return entry_ != nullptr; }
    bool HasFailed() const { return failed_; }

private:
    // True when the entry point is known afterwards; sets the failure flag otherwise.
    bool Load();
    HMODULE LoadRegisteredLibrary() const;

    LoadLibraryFunction load_;
    HKEY classRoot_;
    const char* serverKey_;
    HMODULE module_ = nullptr;
    HtmlHelpFunction entry_ = nullptr;
    bool failed_ = false;
};

// How ShowHelp calls the viewer: through the program's one HelpViewer, loaded at the first call
// and kept for the run. Tests replace it to see what would be shown.
extern HtmlHelpFunction htmlHelp;
