#pragma once
// The Options page on a scratch settings key and vaults root, created as the main dialog creates
// it, with a stand-in main window that counts the tray refreshes sent to it. Clicks go to the
// page's controls as a user's would.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "scratch.h"
#include "shell/options_page.h"
#include "shell/vaults_app.h"

class OptionsPageTest : public ::testing::Test {
public:
    // WM_REFRESH_TRAY_ICON messages the main window received.
    static int trayRefreshes;

protected:
    OptionsPageTest();
    ~OptionsPageTest() override;

    // Creates the page (its load runs now), after the test has prepared the settings.
    void CreatePage();
    // Clicks check box or button `id` and returns when its handler is done.
    void Click(int id);
    bool IsChecked(int id) const;
    WORD HotkeyWord() const;
    // Puts `word` into the hotkey control and lets the page hear of the change.
    void ChangeHotkey(WORD word);

    CRegistryKey& Settings() { return app.GetSettingsKey(); }
    DWORD Setting(const char* name) { return Settings().ReadDword(name, 0xBAD); }

    ScratchKey key;
    ScratchFolder root;
    CVaultsApp app;
    COptionsPage page;
    HWND mainWindow = nullptr;

private:
    CWnd mainWnd_;
    CWnd parent_;
    HWND parentWindow_ = nullptr;
};

// True when the combination can not be registered now (someone holds it).
bool IsHotkeyTaken(UINT modifiers, UINT key);

// Another process holding a hotkey while the object lives.
class HotkeyHolder {
public:
    HotkeyHolder(UINT modifiers, UINT key);
    ~HotkeyHolder();
    bool Holds() const { return holds_; }

private:
    PROCESS_INFORMATION process_ = {};
    HANDLE input_ = nullptr;
    bool holds_ = false;
};
