// The Options page's settings: what it loads, what each click writes, autorun, and the global
// hotkey with hotkey-only mode.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "options_page_host.h"
#include "ui_driver.h"
#include "shell/hotkey.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const WORD kCtrlShiftV = MAKEWORD('V', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
const WORD kAltF9 = MAKEWORD(VK_F9, HOTKEYF_ALT);

// The program's Run value as it stood before the test, put back afterwards.
class RunValueKeeper {
public:
    RunValueKeeper() : run_(kRunKey, HKEY_CURRENT_USER)
    {
        saved_ = run_.ReadString("Zovantri Orvella", "\x01");
    }
    ~RunValueKeeper()
    {
        if (saved_ == "\x01")
            run_.DeleteValue("Zovantri Orvella");
        else
            run_.WriteString("Zovantri Orvella", saved_);
    }
    std::string Value() const { return run_.ReadString("Zovantri Orvella", "absent"); }

private:
    CRegistryKey run_;
    std::string saved_;
};

}  // namespace

TEST_F(OptionsPageTest, LoadShowsEverySettingAndTheRoot)
{
    Settings().WriteDword("AutoRun", 1);
    Settings().WriteDword("ShowVaultsOnStart", 1);
    Settings().WriteDword("HideIcons", 1);
    CreatePage();
    EXPECT_EQ(ItemText(page.GetSafeHwnd(), 1029), root.Path());
    EXPECT_TRUE(IsChecked(1032));
    EXPECT_FALSE(IsChecked(1033));
    EXPECT_TRUE(IsChecked(1034));
    EXPECT_TRUE(IsChecked(1043));
    EXPECT_FALSE(IsChecked(1044));
    EXPECT_FALSE(IsWindowEnabled(page.GetDlgItem(1045))) << "the hotkey is only for hotkey-only mode";
    EXPECT_FALSE(IsHotkeyTaken(MOD_CONTROL | MOD_SHIFT, 'V')) << "nothing is registered";
}

TEST_F(OptionsPageTest, EachPlainCheckBoxIsWrittenAtOnce)
{
    struct Case {
        int id;
        const char* setting;
    };
    const Case cases[] = {{1033, "DontShowRunningWarning"}, {1034, "ShowVaultsOnStart"}};
    CreatePage();
    for (const Case& c : cases) {
        Click(c.id);
        EXPECT_EQ(Setting(c.setting), 1u) << c.setting;
        Click(c.id);
        EXPECT_EQ(Setting(c.setting), 0u) << c.setting;
    }
}

TEST_F(OptionsPageTest, AutorunWritesAndDeletesTheQuotedRunValue)
{
    RunValueKeeper keeper;
    Settings().WriteDword("AutoRun", 1);
    CreatePage();
    Click(1032);
    EXPECT_EQ(keeper.Value(), "absent");
    EXPECT_EQ(Setting("AutoRun"), 0u);
    Click(1032);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    EXPECT_EQ(keeper.Value(), "\"" + std::string(self) + "\"");
    EXPECT_EQ(Setting("AutoRun"), 1u);
}

TEST_F(OptionsPageTest, StartInHotkeyOnlyModeRegistersTheStoredOrTheDefaultCombination)
{
    struct Case {
        DWORD stored;
        WORD shown;
        UINT modifiers;
        UINT key;
    };
    const Case cases[] = {{0, kCtrlShiftV, MOD_CONTROL | MOD_SHIFT, 'V'},
                          {kAltF9, kAltF9, MOD_ALT, VK_F9}};
    for (const Case& c : cases) {
        Settings().WriteDword("HotkeyOnly", 1);
        Settings().WriteDword("Hotkey", c.stored);
        CreatePage();
        EXPECT_EQ(HotkeyWord(), c.shown);
        EXPECT_TRUE(IsWindowEnabled(page.GetDlgItem(1045)));
        EXPECT_TRUE(IsHotkeyTaken(c.modifiers, c.key)) << "registered at load";
        EXPECT_EQ(Setting("Hotkey"), c.stored) << "load writes nothing";
        DestroyWindow(page.GetSafeHwnd());
        UnregisterHotKey(mainWindow, 1);
    }
}

TEST_F(OptionsPageTest, HotkeyOnlyModeOnWithAnEmptyControlTakesTheDefaultAndHidesTheTrayIcon)
{
    CreatePage();
    Click(1044);
    EXPECT_EQ(HotkeyWord(), kCtrlShiftV);
    EXPECT_TRUE(IsHotkeyTaken(MOD_CONTROL | MOD_SHIFT, 'V'));
    EXPECT_EQ(Setting("HotkeyOnly"), 1u);
    EXPECT_EQ(Setting("Hotkey"), 0xBADu) << "the default is not stored";
    EXPECT_EQ(trayRefreshes, 1);
    EXPECT_TRUE(IsWindowEnabled(page.GetDlgItem(1045)));

    Click(1044);
    EXPECT_FALSE(IsHotkeyTaken(MOD_CONTROL | MOD_SHIFT, 'V')) << "unregistered";
    EXPECT_EQ(Setting("HotkeyOnly"), 0u);
    EXPECT_EQ(trayRefreshes, 2);
    EXPECT_FALSE(IsWindowEnabled(page.GetDlgItem(1045)));
}

TEST_F(OptionsPageTest, ACombinationAnotherProgramHoldsLeavesHotkeyOnlyModeUnsaved)
{
    HotkeyHolder holder(MOD_CONTROL | MOD_SHIFT, 'V');
    ASSERT_TRUE(holder.Holds());
    CreatePage();
    Click(1044);
    EXPECT_EQ(HotkeyWord(), 0) << "the control is emptied for another choice";
    EXPECT_TRUE(IsChecked(1044));
    EXPECT_TRUE(IsWindowEnabled(page.GetDlgItem(1045)));
    EXPECT_EQ(Setting("HotkeyOnly"), 0xBADu);
    EXPECT_EQ(trayRefreshes, 0) << "the tray icon stays";

    // A free combination chosen next is registered and stored.
    ChangeHotkey(kAltF9);
    EXPECT_TRUE(IsHotkeyTaken(MOD_ALT, VK_F9));
    EXPECT_EQ(Setting("Hotkey"), kAltF9);
}

TEST_F(OptionsPageTest, AChangedHotkeyIsStoredOnlyWhenItCouldBeRegistered)
{
    Settings().WriteDword("HotkeyOnly", 1);
    Settings().WriteDword("Hotkey", kAltF9);
    CreatePage();
    ASSERT_TRUE(IsHotkeyTaken(MOD_ALT, VK_F9));

    const WORD shiftWinF8 = MAKEWORD(VK_F8, HOTKEYF_SHIFT | HOTKEYF_EXT);
    ChangeHotkey(shiftWinF8);
    EXPECT_EQ(Setting("Hotkey"), shiftWinF8);
    EXPECT_TRUE(IsHotkeyTaken(MOD_SHIFT | MOD_WIN, VK_F8));
    EXPECT_FALSE(IsHotkeyTaken(MOD_ALT, VK_F9)) << "the old combination is let go";

    HotkeyHolder holder(MOD_CONTROL | MOD_ALT, VK_F7);
    ASSERT_TRUE(holder.Holds());
    ChangeHotkey(MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_EQ(HotkeyWord(), 0);
    EXPECT_EQ(Setting("Hotkey"), shiftWinF8) << "a refused combination is not stored";

    // Emptying the control registers the default again and stores the empty word.
    ChangeHotkey(0);
    EXPECT_EQ(HotkeyWord(), kCtrlShiftV);
    EXPECT_EQ(Setting("Hotkey"), 0u);
}

TEST(HotkeyEncoding, ControlFlagsBecomeRegistrationFlagsOneByOne)
{
    struct Case {
        BYTE control;
        UINT registration;
    };
    const Case cases[] = {{0, 0},
                          {HOTKEYF_SHIFT, MOD_SHIFT},
                          {HOTKEYF_CONTROL, MOD_CONTROL},
                          {HOTKEYF_ALT, MOD_ALT},
                          {HOTKEYF_EXT, MOD_WIN},
                          {HOTKEYF_SHIFT | HOTKEYF_CONTROL, MOD_SHIFT | MOD_CONTROL},
                          {HOTKEYF_ALT | HOTKEYF_EXT | HOTKEYF_SHIFT,
                           MOD_ALT | MOD_WIN | MOD_SHIFT}};
    for (const Case& c : cases)
        EXPECT_EQ(RegistrationModifiers(c.control), c.registration) << int(c.control);
    HotkeyRegistration fallback = RegistrationFor(kDefaultHotkeyWord);
    EXPECT_EQ(fallback.modifiers, UINT(MOD_CONTROL | MOD_SHIFT));
    EXPECT_EQ(fallback.virtualKey, UINT('V'));
}
