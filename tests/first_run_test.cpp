// The real program on its first start: the introduction wizard comes before anything else,
// creates the user's first vault, and the program carries on once it is finished.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "dialog_user.h"
#include "engine/base/registry_key.h"
#include "engine/vault/vault_store.h"
#include "program.h"
#include "program_windows.h"
#include "scratch.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const char kAppKey[] = "Software\\Zovantri\\Zovantri Orvella";
const int kNext = 0x3024, kFinish = 0x3025;

bool IsWizard(HWND window) { return WindowText(window) == "Introduction to Zovantri Orvella"; }
bool IsRunningNotice(HWND window) { return WindowText(window) == "Already running"; }

// Waits until the wizard shows its page `number` (1 to 5); false when it does not come.
bool WaitForPage(HWND wizard, int number)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < ScaledMs(10000); Sleep(20)) {
        HWND page = reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
        if (page && SendMessageA(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0) ==
                        number - 1)
            return true;
    }
    return false;
}

// Waits until the button is offered (the page posts its buttons as it becomes active), then
// clicks it; posted, as a real click comes.
void ClickWhenOffered(HWND wizard, int id)
{
    HWND button = GetDlgItem(wizard, id);
    for (DWORD start = GetTickCount(); GetTickCount() - start < ScaledMs(5000); Sleep(20))
        if (IsWindowVisible(button) && IsWindowEnabled(button))
            break;
    PostMessageA(button, BM_CLICK, 0, 0);
}

}  // namespace

TEST(FirstRun, TheWizardCreatesTheFirstVaultAndTheProgramCarriesOn)
{
    ProgramUnderTest program;  // no settings at all: this start is a first start
    ScratchFolder root;
    ProgramUnderTest::SetVaultsRoot(root.Path());
    HANDLE process = program.Start();
    ASSERT_TRUE(process);
    DWORD id = GetProcessId(process);

    HWND wizard = WaitForDialog(IsWizard, 15000, id);
    ASSERT_TRUE(wizard) << "the introduction wizard did not appear";
    EXPECT_FALSE(WaitForMainFrame(id, 0)) << "the main frame comes after the wizard";
    {
        CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
        EXPECT_EQ(app.ReadDword("FirstRun", 7), 0u) << "written before the wizard opens";
    }

    ClickWhenOffered(wizard, kNext);
    ASSERT_TRUE(WaitForPage(wizard, 2));
    HWND page = reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
    TypeInto(page, 1007, "Papers");
    TypeInto(page, 1010, "secret");
    TypeInto(page, 1009, "secret");
    for (int next = 3; next <= 5; ++next) {
        ClickWhenOffered(wizard, kNext);
        ASSERT_TRUE(WaitForPage(wizard, next)) << "page " << next << " did not come";
    }
    ClickWhenOffered(wizard, kFinish);
    EXPECT_TRUE(WaitUntilGone(wizard));

    EXPECT_TRUE(WaitForMainFrame(id, 15000)) << "the program did not carry on";
    HWND notice = WaitForDialog(IsRunningNotice, 15000, id);
    EXPECT_TRUE(notice) << "a first start shows the running notice after the wizard";
    if (notice)
        PostMessageA(notice, WM_COMMAND, IDCANCEL, 0);

    CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
    EXPECT_EQ(app.ReadDword("FirstRun", 7), 0u);
    VaultStore store;
    ASSERT_TRUE(store.Open(app));
    VaultRecord vault;
    ASSERT_TRUE(store.First(vault)) << "no vault was saved";
    EXPECT_EQ(vault.Name(), "Papers");
    EXPECT_TRUE(vault.CheckPassword("secret"));
    EXPECT_FALSE(store.Next(vault)) << "one vault only";
    EXPECT_TRUE(Exists(root / "Papers"));

    // The new vault is unlocked, so the program asks before it ends.
    ProgramUnderTest::RequestShutdown();
    HWND question = WaitForDialog(IsMessageBox, 10000, id);
    ASSERT_TRUE(question) << "the shutdown request did not ask";
    EXPECT_EQ(ItemText(question, 0xFFFF), "There are unlocked Vaults. Close anyway?");
    SendMessageA(GetDlgItem(question, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(process));
    CloseHandle(process);
}
