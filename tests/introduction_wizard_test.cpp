// The introduction wizard, run for real on a scratch store and vaults root and driven as a user
// would: page by page with the wizard's buttons, typing into the vault page, and answering its
// messages.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "dialog_user.h"
#include "engine/files/file_error_text.h"
#include "engine/vault/vault_claim.h"
#include "framework/win_app.h"
#include "keyboard_input.h"
#include "resources/resource.h"
#include "ui/introduction_wizard.h"
#include "ui_driver.h"
#include "vault_dialog_host.h"
#include "wait_scale.h"

namespace {

const char kCaption[] = "Introduction to Zovantri Orvella";
const char kNameHint[] = "Type vault's name here";
const char kPasswordHint[] = "Type vault's password here";
const char kConfirmHint[] = "Please confirm password here";
const char kPasswordsDiffer[] =
    "Password you specified didn't match! Please correct comfirm the password.";

// The wizard's own buttons.
enum { kBack = 0x3023, kNext = 0x3024, kFinish = 0x3025 };

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// 1 to 5; 0 while no page is shown.
int PageNumber(HWND sheet)
{
    WPARAM page = reinterpret_cast<WPARAM>(CurrentPage(sheet));
    return page ? int(SendMessageA(sheet, PSM_HWNDTOINDEX, page, 0)) + 1 : 0;
}

// Waits up to timeoutMs for done() to hold; false when it never did.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    timeoutMs = ScaledMs(timeoutMs);
    for (DWORD start = GetTickCount(); !done(); Sleep(10))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

// Waits until the wizard shows page `number`; the page shown then.
int WaitForPage(HWND sheet, int number)
{
    WaitUntil([&] { return PageNumber(sheet) == number; });
    return PageNumber(sheet);
}

// What the wizard offers: a button counts when it is shown and enabled.
struct Buttons {
    bool back, next, finish, cancel;
    bool operator==(const Buttons& other) const
    {
        return back == other.back && next == other.next && finish == other.finish &&
               cancel == other.cancel;
    }
};

std::ostream& operator<<(std::ostream& out, const Buttons& b)
{
    return out << "{back " << b.back << ", next " << b.next << ", finish " << b.finish
               << ", cancel " << b.cancel << "}";
}

bool Offered(HWND sheet, int id)
{
    HWND button = GetDlgItem(sheet, id);
    return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

Buttons ButtonsOf(HWND sheet)
{
    return {Offered(sheet, kBack), Offered(sheet, kNext), Offered(sheet, kFinish),
            Offered(sheet, IDCANCEL)};
}

// The pages post their buttons when they become active: waits a while for `expected`, and
// returns what the wizard offers in the end.
Buttons WaitForButtons(HWND sheet, const Buttons& expected)
{
    WaitUntil([&] { return ButtonsOf(sheet) == expected; }, 2000);
    return ButtonsOf(sheet);
}

// The window that has the keyboard focus on the wizard's thread.
HWND FocusOf(HWND sheet)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(sheet, nullptr), &info);
    return info.hwndFocus;
}

// Where the edit's selection ends.
DWORD SelectionEnd(HWND edit)
{
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    return end;
}

// Ends whatever a failed test left open: message boxes first, then the wizard, by Cancel or, when
// cancelling is refused, by Finish (which ends it on any page).
void EndLeftWizard(HWND sheet)
{
    for (HWND box; (box = WaitForDialog(IsMessageBox, 200)) != nullptr;) {
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        WaitUntilGone(box, 2000);
    }
    if (!sheet)
        return;
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    if (!WaitUntilGone(sheet, 2000))
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
}

// Runs the wizard on this thread and `user` on a helper thread once the wizard shows; the
// wizard's result.
INT_PTR RunWizard(CIntroductionWizard& wizard, const std::function<void(HWND)>& user)
{
    std::thread helper([&] {
        HWND sheet = WaitForTitledDialog(kCaption);
        if (sheet)
            user(sheet);
        if (!sheet || !WaitUntilGone(sheet, 3000))
            EndLeftWizard(sheet);
    });
    INT_PTR result = wizard.DoModal();
    helper.join();
    return result;
}

// Clicks one of the wizard's buttons (or Cancel). Posted, as a real click comes: the wizard's
// message loop looks whether it has ended only after a posted message.
void Press(HWND sheet, int id) { PostMessageA(GetDlgItem(sheet, id), BM_CLICK, 0, 0); }

// Escape, as the keyboard gives it to the wizard's message loop.
void PressEscape(HWND sheet)
{
    PostMessageA(GetDlgItem(sheet, kNext), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

void PressCloseBox(HWND sheet) { PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0); }

void TypeVault(HWND sheet, const std::string& name, const std::string& password,
               const std::string& confirmation)
{
    HWND page = CurrentPage(sheet);
    TypeInto(page, IDC_VAULT_NAME, name);
    TypeInto(page, IDC_VAULT_PASSWORD, password);
    TypeInto(page, IDC_VAULT_CONFIRM, confirmation);
}

// From the first page after the vault's, on to the end.
void FinishFromPage3(HWND sheet)
{
    for (int page = 4; page <= 5; ++page) {
        WaitForButtons(sheet, {page > 4, true, false, false});  // Back from page 4 on
        Press(sheet, kNext);
        WaitForPage(sheet, page);
    }
    WaitForButtons(sheet, {true, false, true, false});
    Press(sheet, kFinish);
}

class IntroductionWizard : public VaultDialogTest {
protected:
    std::vector<VaultRecord> StoredVaults()
    {
        std::vector<VaultRecord> vaults;
        VaultRecord record;
        for (bool found = Store().First(record); found; found = Store().Next(record))
            vaults.push_back(record);
        return vaults;
    }
};

std::wstring WideString(UINT id)
{
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return std::wstring(text, length > 0 ? length : 0);
}

}  // namespace

TEST(IntroductionWizardTexts, CaptionAndHeaderTitlesAreTheProgramsOwn)
{
    const struct {
        UINT id;
        const wchar_t* text;
    } strings[] = {
        {105, L"Introduction to Zovantri Orvella"},
        {106, L"Welcome to Zovantri Orvella"},
        {107, L"Let\u2019s get started by creating a vault"},
        {108, L"Now, let\u2019s put files into the Vault"},
        {109, L"Congratulations!"},
        {110, L"How to secure you vaults"},
    };
    for (const auto& string : strings) {
        SCOPED_TRACE(string.id);
        EXPECT_EQ(WideString(string.id), string.text);
    }
}

// Next and Back through all five pages, with a vault made on the second: each page shows its
// header title and offers its own buttons, and Cancel is gone once the vault exists.
TEST_F(IntroductionWizard, LeadsThroughItsFivePagesAndCreatesTheVault)
{
    CIntroductionWizard wizard;
    const CPropertyPage* pages[] = {&wizard.welcome, &wizard.getStarted, &wizard.putFiles,
                                    &wizard.lock, &wizard.congrats};
    const struct {
        int page;
        UINT title;
        Buttons buttons;
        int press;  // the button pressed then
    } steps[] = {
        {1, IDS_WIZARD_WELCOME_TITLE, {false, true, false, true}, kNext},
        {2, IDS_WIZARD_GET_STARTED_TITLE, {true, true, false, true}, kBack},
        {1, IDS_WIZARD_WELCOME_TITLE, {false, true, false, true}, kNext},
        {2, IDS_WIZARD_GET_STARTED_TITLE, {true, true, false, true}, kNext},  // creates the vault
        {3, IDS_WIZARD_PUT_FILES_TITLE, {false, true, false, false}, kNext},
        {4, IDS_WIZARD_LOCK_TITLE, {true, true, false, false}, kBack},
        {3, IDS_WIZARD_PUT_FILES_TITLE, {false, true, false, false}, kNext},
        {4, IDS_WIZARD_LOCK_TITLE, {true, true, false, false}, kNext},
        {5, IDS_WIZARD_CONGRATS_TITLE, {true, false, true, false}, kBack},
        {4, IDS_WIZARD_LOCK_TITLE, {true, true, false, false}, kNext},
        {5, IDS_WIZARD_CONGRATS_TITLE, {true, false, true, false}, kFinish},
    };
    std::vector<int> shown;
    std::vector<UINT> titles;
    std::vector<Buttons> offered;
    std::vector<std::string> captions;
    INT_PTR result = RunWizard(wizard, [&](HWND sheet) {
        for (const auto& step : steps) {
            shown.push_back(WaitForPage(sheet, step.page));
            int index = shown.back() - 1;
            titles.push_back(index >= 0 ? UINT(UINT_PTR(pages[index]->m_psp.pszHeaderTitle)) : 0);
            offered.push_back(WaitForButtons(sheet, step.buttons));
            captions.push_back(WindowText(sheet));
            if (step.page == 2 && step.press == kNext)
                TypeVault(sheet, "Papers", "secret", "secret");
            Press(sheet, step.press);
        }
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(shown.size(), std::size(steps));
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i + 1);
        EXPECT_EQ(shown[i], steps[i].page);
        EXPECT_EQ(titles[i], steps[i].title);
        EXPECT_EQ(offered[i], steps[i].buttons);
        EXPECT_EQ(captions[i], kCaption);
    }
    std::vector<VaultRecord> vaults = StoredVaults();
    ASSERT_EQ(vaults.size(), 1u);
    EXPECT_EQ(vaults[0].Name(), "Papers");
    EXPECT_TRUE(vaults[0].CheckPassword("secret"));
    EXPECT_FALSE(vaults[0].IsLocked());
    EXPECT_EQ(RootNames(), std::vector<std::string>{"Papers"});
}

// With the keyboard alone: Enter presses the button the page offers (Finish on the last, which
// has the focus there: the Next that had it is gone), the vault page opens in the name field,
// and the mnemonics of its labels reach the password fields.
TEST_F(IntroductionWizard, GoesThroughWithTheKeyboardAlone)
{
    CIntroductionWizard wizard;
    std::vector<int> shown;
    std::string typedName;
    bool finishFocused = false;
    INT_PTR result = RunWizard(wizard, [&](HWND sheet) {
        for (int page = 1; page <= 5; ++page) {
            shown.push_back(WaitForPage(sheet, page));
            // A page offers its buttons once it shows; a user reads it first.
            WaitForButtons(sheet, {page > 1 && page != 3, page < 5, page == 5, page < 3});
            if (page == 2) {
                HWND vaultPage = CurrentPage(sheet);
                TypeKeys("Papers");
                WaitUntil([&] { return ItemText(vaultPage, IDC_VAULT_NAME) == "Papers"; });
                typedName = ItemText(vaultPage, IDC_VAULT_NAME);
                PressKeyCombination(MOD_ALT, 'P');
                TypeKeys("pw");
                PressKeyCombination(MOD_ALT, 'C');
                TypeKeys("pw");
                WaitUntil([&] { return ItemText(vaultPage, IDC_VAULT_CONFIRM) == "pw"; });
            }
            if (page == 5)
                finishFocused = WaitUntil(
                    [&] { return FocusOf(sheet) == GetDlgItem(sheet, kFinish); }, 2000);
            PressKey(VK_RETURN);
        }
    });
    EXPECT_EQ(result, IDOK) << "Enter on the last page finishes";
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(typedName, "Papers");
    EXPECT_TRUE(finishFocused);
    std::vector<VaultRecord> vaults = StoredVaults();
    ASSERT_EQ(vaults.size(), 1u);
    EXPECT_EQ(vaults[0].Name(), "Papers");
    EXPECT_TRUE(vaults[0].CheckPassword("pw"));
}

// What accessibility and automation tools send: PSM_PRESSBUTTON, the moment each page shows,
// walks the wizard from its first page to Finish.
TEST_F(IntroductionWizard, PressButtonMessagesWalkItToTheEnd)
{
    CIntroductionWizard wizard;
    std::vector<int> shown;
    INT_PTR result = RunWizard(wizard, [&](HWND sheet) {
        for (int page = 1; page <= 5; ++page) {
            shown.push_back(WaitForPage(sheet, page));
            if (page == 2)
                TypeVault(sheet, "Papers", "pw", "pw");
            PostMessageA(sheet, PSM_PRESSBUTTON, page < 5 ? PSBTN_NEXT : PSBTN_FINISH, 0);
        }
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(StoredVaults().size(), 1u);
}

// Each password field shows its hint until the user types there: the focus entering an untouched
// field empties and masks it, leaving it untouched brings the hint back, and typed text stays.
TEST_F(IntroductionWizard, PasswordFieldsHideTheirHintsOnlyWhileTheUserTypesThere)
{
    const struct {
        int field;
        const char* hint;
    } fields[] = {{IDC_VAULT_PASSWORD, kPasswordHint}, {IDC_VAULT_CONFIRM, kConfirmHint}};
    CIntroductionWizard wizard;
    EditState name, label;
    bool nameFocused = false, nameSelected = false;
    std::vector<EditState> shown, focused, left, typed, erased;
    RunWizard(wizard, [&](HWND sheet) {
        Press(sheet, kNext);
        WaitForPage(sheet, 2);
        HWND page = CurrentPage(sheet);
        HWND nameEdit = GetDlgItem(page, IDC_VAULT_NAME);
        nameFocused = WaitUntil([&] { return FocusOf(sheet) == nameEdit; }, 2000);
        nameSelected = WaitUntil(
            [&] { return SelectionEnd(nameEdit) == std::string(kNameHint).size(); }, 2000);
        name = ReadEdit(page, IDC_VAULT_NAME);
        label.text = ItemText(page, IDC_PASSWORD_LABEL);
        for (const auto& field : fields) {
            shown.push_back(ReadEdit(page, field.field));
            FocusControl(page, field.field);
            focused.push_back(ReadEdit(page, field.field));
            FocusControl(page, IDC_VAULT_NAME);
            left.push_back(ReadEdit(page, field.field));
            TypeInto(page, field.field, "abc");
            FocusControl(page, IDC_VAULT_NAME);
            typed.push_back(ReadEdit(page, field.field));
            TypeInto(page, field.field, "");
            FocusControl(page, IDC_VAULT_NAME);
            erased.push_back(ReadEdit(page, field.field));
        }
        Press(sheet, IDCANCEL);
    });
    EXPECT_EQ(name.text, kNameHint);
    EXPECT_FALSE(name.modified);
    EXPECT_TRUE(nameFocused) << "the page opens in the name field";
    EXPECT_TRUE(nameSelected) << "with its text selected, so typing replaces the hint";
    EXPECT_EQ(label.text, "&Password:");
    ASSERT_EQ(erased.size(), std::size(fields));
    for (size_t i = 0; i < std::size(fields); ++i) {
        SCOPED_TRACE(fields[i].hint);
        EXPECT_EQ(shown[i].text, fields[i].hint);
        EXPECT_EQ(shown[i].mask, 0) << "hints are plain text";
        EXPECT_FALSE(shown[i].modified);
        EXPECT_EQ(focused[i].text, "");
        EXPECT_EQ(focused[i].mask, '*');
        EXPECT_FALSE(focused[i].modified);
        EXPECT_EQ(left[i].text, fields[i].hint);
        EXPECT_EQ(left[i].mask, 0);
        EXPECT_FALSE(left[i].modified);
        EXPECT_EQ(typed[i].text, "abc");
        EXPECT_EQ(typed[i].mask, '*');
        EXPECT_EQ(erased[i].text, "") << "an emptied field is not a hint";
        EXPECT_EQ(erased[i].mask, '*');
    }
}

// What Next on the vault page refuses, in the words of the vault dialogs: the wizard stays on
// the page, nothing is created or saved, and no one else is kept from naming vaults.
TEST_F(IntroductionWizard, NextSaysWhyNoVaultWasMadeAndStaysOnThePage)
{
    AddVault("Papers", "pw");
    WriteFileBytes(root / "blocker", "");
    const std::string blockedRoot = root / "blocker\\";
    const struct {
        const char* name;  // null: never typed into
        const char* password;  // null: never typed into
        const char* confirmation;
        std::string message;
        bool blocked = false;  // the vaults root lies under a file
    } cases[] = {
        {nullptr, nullptr, nullptr, kPasswordsDiffer},
        {"Letters", "secret", "Secret", kPasswordsDiffer},
        {"PAPERS", "pw", "pw", "Vault with name \"PAPERS\" already exists!"},
        {"", "pw", "pw", "Please type a name for the vault."},
        {"a/b", "pw", "pw",
         "A vault name cannot contain any of the characters \\ / : * ? \" < > | or control "
         "characters such as a tab."},
        {"blocker", "pw", "pw",
         "The name \"blocker\" is already taken in the vaults folder, by a file or by another "
         "vault's container file. Please choose another name."},
        {"Letters", "pw", "pw",
         "The vault's folder could not be created.\r\n\r\n" +
             FileErrorText(ERROR_ALREADY_EXISTS, root / "blocker"),
         true},
    };
    CIntroductionWizard wizard;
    std::vector<AnsweredMessageBox> boxes;
    std::vector<int> pages;
    bool namesFree = false;
    INT_PTR result = RunWizard(wizard, [&](HWND sheet) {
        Press(sheet, kNext);
        WaitForPage(sheet, 2);
        HWND page = CurrentPage(sheet);
        for (const auto& test : cases) {
            if (test.name)
                TypeInto(page, IDC_VAULT_NAME, test.name);
            if (test.password)
                TypeInto(page, IDC_VAULT_PASSWORD, test.password);
            if (test.confirmation)
                TypeInto(page, IDC_VAULT_CONFIRM, test.confirmation);
            app.SetVaultsRoot(test.blocked ? blockedRoot : root.Path());
            Press(sheet, kNext);
            boxes.push_back(AnswerMessageBox(IDOK));
            StaysOpen(sheet);
            pages.push_back(PageNumber(sheet));
        }
        VaultClaim elsewhere;
        namesFree = elsewhere.ClaimNames();
        Press(sheet, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(boxes.size(), std::size(cases));
    for (size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i + 1);
        EXPECT_EQ(boxes[i].text, cases[i].message);
        EXPECT_EQ(boxes[i].caption, AfxGetAppName());
        EXPECT_EQ(boxes[i].icon, UINT(MB_ICONSTOP));
        EXPECT_EQ(pages[i], 2);
    }
    EXPECT_TRUE(namesFree) << "a refused name keeps no one else from naming vaults";
    EXPECT_EQ(StoredVaults().size(), 1u);
    EXPECT_EQ(RootNames(), (std::vector<std::string>{"Papers", "blocker"}));
}

// A user who leaves the name alone and types into the password fields but erases everything
// gets a vault under the hint's name with an empty password.
TEST_F(IntroductionWizard, CreatesTheVaultFromTheTextsAsTheyStand)
{
    CIntroductionWizard wizard;
    int page = 0;
    INT_PTR result = RunWizard(wizard, [&](HWND sheet) {
        Press(sheet, kNext);
        WaitForPage(sheet, 2);
        TypeVault(sheet, "x", "y", "z");
        HWND vaultPage = CurrentPage(sheet);
        SetDlgItemTextA(vaultPage, IDC_VAULT_NAME, kNameHint);
        TypeInto(vaultPage, IDC_VAULT_PASSWORD, "");
        TypeInto(vaultPage, IDC_VAULT_CONFIRM, "");
        Press(sheet, kNext);
        page = WaitForPage(sheet, 3);
        FinishFromPage3(sheet);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(page, 3);
    std::vector<VaultRecord> vaults = StoredVaults();
    ASSERT_EQ(vaults.size(), 1u);
    EXPECT_EQ(vaults[0].Name(), kNameHint);
    EXPECT_TRUE(vaults[0].CheckPassword(""));
    EXPECT_TRUE(Exists(root / kNameHint));
}

// Once the vault exists, neither Back to the vault page nor any way of cancelling works: not the
// wizard's own button press, not Escape, not the close box.
TEST_F(IntroductionWizard, OnceTheVaultExistsItEndsOnlyThroughFinish)
{
    const struct {
        const char* how;
        int onlyOnPage;  // 0: on every page from the third on
        std::function<void(HWND)> act;
    } attempts[] = {
        {"Back", 3, [](HWND sheet) { PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_BACK, 0); }},
        {"Cancel", 0, [](HWND sheet) { PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }},
        {"Escape", 0, PressEscape},
        {"close box", 0, PressCloseBox},
    };
    CIntroductionWizard wizard;
    std::vector<std::string> escapes;
    INT_PTR result = RunWizard(wizard, [&](HWND sheet) {
        Press(sheet, kNext);
        WaitForPage(sheet, 2);
        TypeVault(sheet, "Papers", "pw", "pw");
        for (int page = 3; page <= 5; ++page) {
            Press(sheet, kNext);
            WaitForPage(sheet, page);
            WaitForButtons(sheet, ButtonsOf(sheet));
            for (const auto& attempt : attempts) {
                if (attempt.onlyOnPage && attempt.onlyOnPage != page)
                    continue;
                attempt.act(sheet);
                Sleep(ScaledMs(200));
                if (!StaysOpen(sheet) || PageNumber(sheet) != page)
                    escapes.push_back(std::string(attempt.how) + " on page " +
                                      std::to_string(page));
                if (!IsWindow(sheet))
                    return;
            }
        }
        Press(sheet, kFinish);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(escapes, std::vector<std::string>{});
    EXPECT_EQ(StoredVaults().size(), 1u);
}

// Before the vault exists the user may leave: by Cancel, Escape or the close box, on the first
// or the second page, even with everything typed; nothing is created.
TEST_F(IntroductionWizard, LeavingOnTheFirstTwoPagesCreatesNothing)
{
    const struct {
        const char* how;
        int page;
        std::function<void(HWND)> act;
    } cases[] = {
        {"Cancel", 1, [](HWND sheet) { Press(sheet, IDCANCEL); }},
        {"Cancel", 2, [](HWND sheet) { Press(sheet, IDCANCEL); }},
        {"Escape", 2, PressEscape},
        {"close box", 2, PressCloseBox},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << test.how << " on page " << test.page);
        CIntroductionWizard wizard;
        bool ended = false;
        INT_PTR result = RunWizard(wizard, [&](HWND sheet) {
            if (test.page == 2) {
                Press(sheet, kNext);
                WaitForPage(sheet, 2);
                TypeVault(sheet, "Papers", "pw", "pw");
            }
            test.act(sheet);
            ended = WaitUntilGone(sheet, 3000);
        });
        EXPECT_TRUE(ended);
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(StoredVaults().empty());
        EXPECT_TRUE(RootNames().empty());
    }
}

// A vault whose record cannot be written is not passed off as made: the wizard says so and stays
// on the page. Its folder stays too, so that trying again with the same name works.
TEST_F(IntroductionWizard, AVaultThatCannotBeRecordedKeepsTheWizardOnThePage)
{
    CIntroductionWizard wizard;
    AnsweredMessageBox box;
    int page = 0;
    RunWizard(wizard, [&](HWND sheet) {
        Press(sheet, kNext);
        WaitForPage(sheet, 2);
        TypeVault(sheet, "Papers", "pw", "pw");
        DeleteKeyTree(key.Handle(), "App\\Vaults");  // the store's key goes away under it
        Press(sheet, kNext);
        box = AnswerMessageBox(IDOK);
        StaysOpen(sheet);
        page = PageNumber(sheet);
        Press(sheet, IDCANCEL);
    });
    EXPECT_EQ(box.text,
              "The vault \"Papers\" could not be recorded in the registry. Please try again.");
    EXPECT_EQ(box.caption, AfxGetAppName());
    EXPECT_EQ(box.icon, UINT(MB_ICONSTOP));
    EXPECT_EQ(page, 2);
    EXPECT_TRUE(StoredVaults().empty());
}

namespace {

RECT RectIn(HWND page, HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// What is wrong with the static texts of `page` as the system draws them: a text that needs
// more room than its control has (its words wrapped at the control's width), or one that runs
// over the page's right edge.
std::vector<std::string> TextsThatDoNotFit(HWND page)
{
    std::vector<std::string> problems;
    RECT pageRect = {};
    GetClientRect(page, &pageRect);
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof(className));
        LONG style = GetWindowLongA(child, GWL_STYLE);
        std::string text = WindowText(child);
        if (std::string(className) != "Static" || (style & SS_TYPEMASK) != SS_LEFT ||
            text.empty())
            continue;
        RECT shown = RectIn(page, child);
        RECT needed = {0, 0, shown.right - shown.left, 0};
        HDC dc = GetDC(child);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(child, WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(dc, font);
        DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        SelectObject(dc, previous);
        ReleaseDC(child, dc);
        if (needed.right > shown.right - shown.left || needed.bottom > shown.bottom - shown.top)
            problems.push_back("clipped: " + text);
        if (shown.right > pageRect.right)
            problems.push_back("off the page: " + text);
    }
    return problems;
}

// Where a line's picture sits against its text and the rest of the line: what is wrong, if
// anything.
std::vector<std::string> PictureOutOfLine(HWND page, int textId, int pictureId, int tailId)
{
    RECT text = RectIn(page, GetDlgItem(page, textId));
    RECT picture = RectIn(page, GetDlgItem(page, pictureId));
    RECT tail = RectIn(page, GetDlgItem(page, tailId));
    std::vector<std::string> problems;
    std::string line = WindowText(GetDlgItem(page, textId));
    if (picture.left < text.right || picture.left - text.right > 4)
        problems.push_back("not right after \"" + line + "\"");
    if (tail.left < picture.right || tail.left - picture.right > 4)
        problems.push_back("the line goes on away from the picture after \"" + line + "\"");
    int textMiddle = (text.top + text.bottom) / 2, pictureMiddle = (picture.top + picture.bottom) / 2;
    if (std::abs(textMiddle - pictureMiddle) > 1 || tail.top != text.top)
        problems.push_back("off the line of \"" + line + "\"");
    return problems;
}

}  // namespace

// Under the fonts the system gives the pages, every text fits its control, and each command
// picture sits inside its line of text, between the parentheses.
TEST_F(IntroductionWizard, EveryPageShowsItsTextsWholeAndItsPicturesInLine)
{
    CIntroductionWizard wizard;
    std::vector<std::string> problems;
    RunWizard(wizard, [&](HWND sheet) {
        for (int page = 1; page <= 5; ++page) {
            WaitForPage(sheet, page);
            HWND shown = CurrentPage(sheet);
            for (const std::string& problem : TextsThatDoNotFit(shown))
                problems.push_back("page " + std::to_string(page) + ": " + problem);
            std::vector<std::string> lines;
            if (page == 3)
                lines = PictureOutOfLine(shown, IDC_WIZARD_UNLOCK_TEXT, IDC_WIZARD_UNLOCK_PICTURE,
                                         IDC_WIZARD_UNLOCK_TAIL);
            if (page == 4) {
                lines = PictureOutOfLine(shown, IDC_WIZARD_LOCK_TEXT, IDC_WIZARD_LOCK_PICTURE,
                                         IDC_WIZARD_LOCK_TAIL);
                for (const std::string& problem :
                     PictureOutOfLine(shown, IDC_WIZARD_MANAGE_TEXT, IDC_WIZARD_MANAGE_PICTURE,
                                      IDC_WIZARD_MANAGE_TAIL))
                    lines.push_back(problem);
            }
            for (const std::string& problem : lines)
                problems.push_back("page " + std::to_string(page) + ": " + problem);
            if (page == 2)
                TypeVault(sheet, "Papers", "pw", "pw");
            int button = page < 5 ? kNext : kFinish;
            WaitUntil([&] { return Offered(sheet, button); }, 2000);
            Press(sheet, button);
        }
    });
    EXPECT_EQ(problems, std::vector<std::string>{});
}
