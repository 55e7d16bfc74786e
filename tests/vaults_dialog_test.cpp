// The main dialog on a scratch store and vaults root, created as the main frame creates it and
// driven with the messages a user's clicks and keys produce. The main window is a stand-in that
// counts the exit commands posted to it; the help viewer is replaced, so each call is only seen.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "dialog_user.h"
#include "framework/win_app.h"
#include "keyboard_input.h"
#include "resources/resource.h"
#include "scratch.h"
#include "shell/already_running_dialog.h"
#include "shell/vaults_app.h"
#include "ui/bitmap_pixels.h"
#include "ui/help_viewer.h"
#include "ui/password_dialog.h"
#include "ui/vault_properties_dialog.h"
#include "ui/vaults_dialog.h"
#include "ui_driver.h"

namespace {

const COLORREF kTitleColour = RGB(2, 70, 213);

int exitCommands = 0;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && wParam == ID_APP_EXIT) {
        ++exitCommands;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct HelpCall {
    HWND owner;
    std::string target;
    UINT command;
};
std::vector<HelpCall> helpCalls;

HWND WINAPI RecordHelpCall(HWND owner, LPCSTR target, UINT command, DWORD_PTR)
{
    helpCalls.push_back({owner, target, command});
    return nullptr;
}

HWND CreatePlainWindow(const char* className, WNDPROC procedure, DWORD style, HWND owner)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);  // refused, harmlessly, once the class exists
    return CreateWindowExA(0, className, "", style, 0, 0, 50, 50, owner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The pixels of bitmap resource `id`, to tell which of a tab's two pictures a control shows.
std::vector<RGBQUAD> ResourcePixels(UINT id)
{
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    std::vector<RGBQUAD> pixels = ReadBitmapPixels(bitmap).colours;
    DeleteObject(bitmap);
    return pixels;
}

bool SamePixels(const std::vector<RGBQUAD>& a, const std::vector<RGBQUAD>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].rgbRed != b[i].rgbRed || a[i].rgbGreen != b[i].rgbGreen || a[i].rgbBlue != b[i].rgbBlue)
            return false;
    return !a.empty();
}

struct Tab {
    int id;
    const char* name;
    UINT normalBitmap;
    UINT selectedBitmap;
};
const Tab kTabs[] = {
    {IDC_TAB_OPTIONS, "Options", IDB_TAB_OPTIONS, IDB_TAB_OPTIONS_SELECTED},
    {IDC_TAB_VAULTS, "Vaults", IDB_TAB_VAULTS, IDB_TAB_VAULTS_SELECTED},
    {IDC_TAB_ABOUT, "About", IDB_TAB_ABOUT, IDB_TAB_ABOUT_SELECTED},
};

// What one tab shows: its page or not, and its selected picture, its normal one, or neither.
enum class Picture { Normal, Selected, Other };
struct TabLook {
    bool pageShown;
    Picture picture;
    bool operator==(const TabLook& other) const
    {
        return pageShown == other.pageShown && picture == other.picture;
    }
};
std::ostream& operator<<(std::ostream& out, const TabLook& look)
{
    const char* picture[] = {"normal", "selected", "other"};
    return out << "{page " << (look.pageShown ? "shown" : "hidden") << ", "
               << picture[int(look.picture)] << " picture}";
}
const TabLook kChosen = {true, Picture::Selected};
const TabLook kNotChosen = {false, Picture::Normal};

// Counts, while it exists, the messages sent on this thread that change what a window shows:
// a picture control's new image, a window shown or hidden.
class DisplayChangeCounter {
public:
    DisplayChangeCounter()
        : hook_(SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId()))
    {
        count = 0;
    }
    ~DisplayChangeCounter() { UnhookWindowsHookEx(hook_); }
    static int count;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && (sent->message == STM_SETIMAGE || sent->message == WM_SHOWWINDOW))
            ++count;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};
int DisplayChangeCounter::count = 0;

class VaultsDialogTest : public ::testing::Test {
public:  // the cases of a table use the helpers too
    VaultsDialogTest()
    {
        EXPECT_TRUE(app.OpenSharedObjects(key.Handle(), "App"));
        app.SetVaultsRoot(root.Path());
        mainWindow.Attach(CreatePlainWindow("VaultsDialogTestMain", MainWindowProc, WS_POPUP, nullptr));
        app.m_pMainWnd = &mainWindow;
        savedHtmlHelp_ = htmlHelp;
        htmlHelp = RecordHelpCall;
        exitCommands = 0;
        helpCalls.clear();
        dialog.reset(new CVaultsDlg);
        EXPECT_TRUE(dialog->Create());
        PumpMessages();
    }

    ~VaultsDialogTest() override
    {
        dialog.reset();
        DestroyWindow(mainWindow.m_hWnd);
        app.m_pMainWnd = nullptr;
        htmlHelp = savedHtmlHelp_;
    }

    HWND Dialog() const { return dialog->m_hWnd; }
    HWND Item(int id) const { return GetDlgItem(Dialog(), id); }
    CVaultsPage& VaultsPage() { return dialog->GetVaultsPage(); }
    // The page a tab shows: the dialog's child windows other than its own controls, in the
    // order the tabs have them (Options, Vaults, About).
    HWND PageOf(int tabIndex) const { return Pages().at(tabIndex); }
    std::vector<HWND> Pages() const
    {
        std::vector<HWND> pages;
        for (HWND child = GetWindow(Dialog(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char className[16] = "";
            GetClassNameA(child, className, sizeof(className));
            if (std::string(className) == "#32770")
                pages.push_back(child);
        }
        return pages;
    }

    // Client rectangle of a child of the dialog.
    RECT Place(HWND child) const
    {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    TabLook Look(const Tab& tab, int index) const
    {
        HBITMAP shown = reinterpret_cast<HBITMAP>(
            SendMessageA(Item(tab.id), STM_GETIMAGE, IMAGE_BITMAP, 0));
        std::vector<RGBQUAD> pixels = ReadBitmapPixels(shown).colours;
        Picture picture = SamePixels(pixels, ResourcePixels(tab.selectedBitmap)) ? Picture::Selected
                          : SamePixels(pixels, ResourcePixels(tab.normalBitmap)) ? Picture::Normal
                                                                                 : Picture::Other;
        bool pageShown = GetWindowLongA(PageOf(index), GWL_STYLE) & WS_VISIBLE;
        return {pageShown, picture};
    }
    // Expects tab `chosenId` to show its page and selected picture, and the others neither.
    void ExpectChosen(int chosenId) const
    {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Look(kTabs[i], i), kTabs[i].id == chosenId ? kChosen : kNotChosen)
                << kTabs[i].name;
    }

    // A click on a tab picture, as the mouse gives it.
    void ClickTab(int id)
    {
        SendMessageA(Item(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(Item(id), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        PumpMessages();
    }
    void ClickButton(int id)
    {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        PumpMessages();
    }
    // `key` pressed while `focus` has the focus, through the dialog manager as the message loop
    // does it.
    void PressKey(HWND focus, UINT key)
    {
        SetFocus(focus);
        BYTE state[256];
        GetKeyboardState(state);
        state[key] = 0x80;
        SetKeyboardState(state);
        MSG message = {focus, WM_KEYDOWN, key, 1, 0, {0, 0}};
        if (!IsDialogMessageA(Dialog(), &message))
            DispatchMessageA(&message);
        state[key] = 0;
        SetKeyboardState(state);
        PumpMessages();
    }
    // Keys as the keyboard gives them, through the program's message loop (the dialog's own
    // keys first, then the dialog manager); returns once the dialog has handled them.
    void Keys(UINT modifiers, WORD key)
    {
        PressKeyCombination(modifiers, key);
        for (int round = 0; round < 5; ++round) {
            Sleep(10);
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (AfxPreTranslateMessage(&message))
                    continue;
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
    // The id of the control that has the focus: -1 for none, 0 for the dialog itself.
    int FocusId() const
    {
        HWND focus = GetFocus();
        if (focus == Dialog())
            return 0;
        return focus && IsChild(Dialog(), focus) && IsWindowVisible(focus) ? GetDlgCtrlID(focus)
                                                                           : -1;
    }
    // Shown and active on `tab` with the focus on control `id` of the dialog or its page.
    void ShowWithFocusOn(int tab, int id)
    {
        dialog->ShowOnTab(tab);
        PumpMessages();
        HWND control = Item(id);
        for (HWND page : Pages())
            if (!control)
                control = GetDlgItem(page, id);
        SendMessageA(Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }

    // F1 as the focused window's default handling turns it into a help request, which carries
    // the window's help context id. Windows gives a dialog's controls the ids of their template;
    // Wine leaves them 0, so the caller names the id.
    void PressF1(HWND window, DWORD contextId = 0)
    {
        HELPINFO request = {sizeof(request), HELPINFO_WINDOW, GetDlgCtrlID(window), window,
                            contextId, {0, 0}};
        SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&request));
    }

    ScratchKey key;
    ScratchFolder root;
    CVaultsApp app;
    CWnd mainWindow;
    std::unique_ptr<CVaultsDlg> dialog;

private:
    HtmlHelpFunction savedHtmlHelp_;
};

TEST_F(VaultsDialogTest, IsCreatedHiddenOwnedByTheMainWindowAndCaptionedWithTheProductName)
{
    ASSERT_TRUE(IsWindow(Dialog()));
    EXPECT_FALSE(IsWindowVisible(Dialog()));
    EXPECT_EQ(GetWindow(Dialog(), GW_OWNER), mainWindow.m_hWnd);
    EXPECT_EQ(dialog->GetWindowText(), "Zovantri Orvella");
    EXPECT_TRUE(GetWindowLongA(Dialog(), GWL_STYLE) & DS_CONTEXTHELP);
    EXPECT_TRUE(GetWindowLongA(Dialog(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_EQ(GetParent(VaultsPage().m_hWnd), Dialog());
    EXPECT_EQ(Pages().size(), 3u);
}

TEST_F(VaultsDialogTest, TabsAbutInOrderUnderTheBannerAndThePagesSitRightBelowThem)
{
    RECT banner = Place(Item(IDC_BANNER));
    EXPECT_EQ(banner.right - banner.left, 435);
    EXPECT_EQ(banner.bottom - banner.top, 82);
    POINT next = {banner.left, banner.bottom};
    for (const Tab& tab : kTabs) {
        RECT place = Place(Item(tab.id));
        EXPECT_EQ(place.left, next.x) << tab.name;
        EXPECT_EQ(place.top, next.y) << tab.name;
        EXPECT_EQ(place.right - place.left, 145) << tab.name;
        EXPECT_EQ(place.bottom - place.top, 20) << tab.name;
        next.x = place.right;
    }
    EXPECT_EQ(next.x, banner.right) << "the tabs span the banner";
    for (int i = 0; i < 3; ++i) {
        RECT page = Place(PageOf(i));
        EXPECT_EQ(page.left, banner.left) << kTabs[i].name;
        EXPECT_EQ(page.top, banner.bottom + 20) << kTabs[i].name;
    }
    EXPECT_EQ(PageOf(1), VaultsPage().m_hWnd);
}

TEST_F(VaultsDialogTest, BannerTabRowAndBottomBarReachTheRightEdgeOfAWiderDialog)
{
    RECT client, banner = Place(Item(IDC_BANNER));
    GetClientRect(Dialog(), &client);
    if (client.right <= banner.right)
        GTEST_SKIP() << "this display's dialog font makes the pictures as wide as the dialog";
    HDC screen = GetDC(nullptr);
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP background = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(canvas, background);
    SendMessageA(Dialog(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas), 0);
    // Each band's last column, repeated up to the edge; the page colour between them.
    const struct {
        const char* band;
        HWND picture;
    } bands[] = {{"banner", Item(IDC_BANNER)}, {"tab row", Item(IDC_TAB_ABOUT)},
                 {"bottom bar", ChildWindowFromPoint(Dialog(), {1, client.bottom - 1})}};
    for (const auto& band : bands) {
        RECT place = Place(band.picture);
        BitmapPixels pixels = ReadBitmapPixels(reinterpret_cast<HBITMAP>(
            SendMessageA(band.picture, STM_GETIMAGE, IMAGE_BITMAP, 0)));
        ASSERT_EQ(pixels.height, place.bottom - place.top) << band.band;
        for (int row : {0, pixels.height / 2, pixels.height - 1}) {
            const RGBQUAD& last = pixels.colours[row * pixels.width + pixels.width - 1];
            EXPECT_EQ(GetPixel(canvas, client.right - 1, place.top + row),
                      RGB(last.rgbRed, last.rgbGreen, last.rgbBlue))
                << band.band << " row " << row;
        }
    }
    EXPECT_EQ(GetPixel(canvas, client.right - 1, client.bottom / 2), RGB(238, 241, 244));
    SelectObject(canvas, previous);
    DeleteObject(background);
    DeleteDC(canvas);
    ReleaseDC(nullptr, screen);
}

TEST_F(VaultsDialogTest, StartsOnTheOptionsPageAndFirstShowsIt)
{
    ExpectChosen(IDC_TAB_OPTIONS);
    dialog->ShowOnTab(0);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(Dialog()));
    EXPECT_EQ(GetActiveWindow(), Dialog());
    EXPECT_EQ(GetFocus(), Item(IDCANCEL)) << "Enter hides; it never exits by chance";
    ExpectChosen(IDC_TAB_OPTIONS);
}

TEST_F(VaultsDialogTest, ClickingATabShowsItsPageAndHidesTheOthers)
{
    dialog->ShowOnTab(0);
    const int clicks[] = {IDC_TAB_VAULTS, IDC_TAB_ABOUT, IDC_TAB_OPTIONS, IDC_TAB_ABOUT, IDC_TAB_VAULTS};
    for (int id : clicks) {
        SCOPED_TRACE(id);
        ClickTab(id);
        ExpectChosen(id);
    }
}

TEST_F(VaultsDialogTest, ClickingTheSelectedTabChangesNoPictureAndNoPage)
{
    dialog->ShowOnTab(IDC_TAB_VAULTS);
    PumpMessages();
    DisplayChangeCounter changes;
    ClickTab(IDC_TAB_VAULTS);
    EXPECT_EQ(DisplayChangeCounter::count, 0);
    ExpectChosen(IDC_TAB_VAULTS);
}

TEST_F(VaultsDialogTest, TabsSelectedInQuickSuccessionLeaveOnlyTheLastOneSelected)
{
    dialog->SelectTab(IDC_TAB_ABOUT);
    dialog->SelectTab(IDC_TAB_VAULTS);
    PumpMessages();
    ExpectChosen(IDC_TAB_VAULTS);
}

TEST_F(VaultsDialogTest, AnUnknownTabIdChangesNothing)
{
    dialog->SelectTab(IDC_TAB_VAULTS);
    dialog->SelectTab(IDC_EXIT);
    PumpMessages();
    ExpectChosen(IDC_TAB_VAULTS);
}

TEST_F(VaultsDialogTest, HideTheCloseBoxAndKeysOnItsButtonsHideItAndTheNextShowKeepsTheTab)
{
    const struct {
        const char* how;
        void (*act)(VaultsDialogTest&);
    } ways[] = {
        {"Hide", [](VaultsDialogTest& t) { t.ClickButton(IDCANCEL); }},
        {"WM_CLOSE", [](VaultsDialogTest& t) { SendMessageA(t.Dialog(), WM_CLOSE, 0, 0); }},
        {"close box", [](VaultsDialogTest& t) { SendMessageA(t.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Escape on Exit", [](VaultsDialogTest& t) { t.PressKey(t.Item(IDC_EXIT), VK_ESCAPE); }},
        {"Escape on Help", [](VaultsDialogTest& t) { t.PressKey(t.Item(IDC_HELP_BUTTON), VK_ESCAPE); }},
        {"Enter on Hide", [](VaultsDialogTest& t) { t.PressKey(t.Item(IDCANCEL), VK_RETURN); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        dialog->ShowOnTab(IDC_TAB_ABOUT);
        PumpMessages();
        ASSERT_TRUE(IsWindowVisible(Dialog()));
        way.act(*this);
        PumpMessages();
        EXPECT_FALSE(IsWindowVisible(Dialog()));
        ASSERT_TRUE(IsWindow(Dialog()));
        dialog->ShowOnTab(0);
        PumpMessages();
        EXPECT_TRUE(IsWindowVisible(Dialog()));
        ExpectChosen(IDC_TAB_ABOUT);
        dialog->SelectTab(IDC_TAB_OPTIONS);
    }
    EXPECT_EQ(exitCommands, 0) << "hiding never exits";
}

TEST_F(VaultsDialogTest, EnterAndEscapeInsideAPageLeaveTheDialogOpen)
{
    dialog->ShowOnTab(IDC_TAB_VAULTS);
    PumpMessages();
    HWND list = VaultsPage().GetDlgItem(IDC_VAULT_LIST);
    for (UINT key : {VK_ESCAPE, VK_RETURN}) {
        PressKey(list, key);
        EXPECT_TRUE(IsWindowVisible(Dialog())) << "key " << key;
    }
    EXPECT_EQ(exitCommands, 0);
}

TEST_F(VaultsDialogTest, ExitHandsTheExitToTheMainWindowAndLeavesTheDialogAlone)
{
    dialog->ShowOnTab(IDC_TAB_VAULTS);
    ClickButton(IDC_EXIT);
    EXPECT_EQ(exitCommands, 1);
    EXPECT_TRUE(IsWindowVisible(Dialog()));
}

TEST_F(VaultsDialogTest, HelpAndF1OpenTheHelpFileAtTheirTopics)
{
    dialog->ShowOnTab(IDC_TAB_VAULTS);
    PumpMessages();
    HWND owned = CreatePlainWindow("VaultsDialogTestOwned", DefWindowProcA, WS_POPUP, Dialog());
    const std::string file = app.GetHelpFilePath();
    const struct {
        const char* what;
        std::function<void()> act;
        std::string target;
    } cases[] = {
        {"Help button", [&] { ClickButton(IDC_HELP_BUTTON); }, file},
        {"F1 on Exit", [&] { PressF1(Item(IDC_EXIT), HIDC_EXIT); }, file + "::/Closing Zovantri Orvella.html"},
        {"F1 on a tab", [&] { PressF1(Item(IDC_TAB_ABOUT)); }, file},
        {"F1 in the vault list", [&] { PressF1(VaultsPage().GetDlgItem(IDC_VAULT_LIST)); }, file},
        {"F1 in an owned window", [&] { PressF1(owned); }, file},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        helpCalls.clear();
        c.act();
        ASSERT_EQ(helpCalls.size(), 1u);
        EXPECT_EQ(helpCalls[0].owner, Dialog());
        EXPECT_EQ(helpCalls[0].target, c.target);
        EXPECT_EQ(helpCalls[0].command, UINT(HELP_DISPLAY_TOPIC));
    }
    DestroyWindow(owned);
}

TEST_F(VaultsDialogTest, TheDialogAndEveryPageDrawOnThePageBrush)
{
    std::vector<std::pair<const char*, HWND>> windows = {{"dialog", Dialog()}};
    for (int i = 0; i < 3; ++i)
        windows.push_back({kTabs[i].name, PageOf(i)});
    HDC dc = GetDC(Dialog());
    for (const auto& window : windows) {
        for (UINT message : {WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}) {
            SetBkMode(dc, OPAQUE);
            LRESULT brush = SendMessageA(window.second, message, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(window.second));
            EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), app.GetPageBrush())
                << window.first << " message " << message;
            EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << window.first << " message " << message;
        }
    }
    ReleaseDC(Dialog(), dc);
}

TEST_F(VaultsDialogTest, TheAboutPageNamesTheProductBesideItsPictureInTheHeadingColour)
{
    HWND about = PageOf(2);
    HWND name = GetDlgItem(about, IDC_ABOUT_PRODUCT);
    char text[64] = "";
    GetWindowTextA(name, text, sizeof(text));
    EXPECT_STREQ(text, "Zovantri Orvella");

    HWND picture = nullptr;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongA(child, GWL_STYLE) & SS_BITMAP)
            picture = child;
    ASSERT_TRUE(picture);
    BitmapPixels shown = ReadBitmapPixels(reinterpret_cast<HBITMAP>(
        SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    EXPECT_EQ(shown.width, 70);
    EXPECT_EQ(shown.height, 73);
    RECT pictureRect, nameRect;
    GetWindowRect(picture, &pictureRect);
    GetWindowRect(name, &nameRect);
    EXPECT_GE(nameRect.left, pictureRect.right) << "the name stands to the right of the picture";
    EXPECT_TRUE(nameRect.top < pictureRect.bottom && nameRect.bottom > pictureRect.top);

    HDC dc = GetDC(about);
    SendMessageA(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(GetTextColor(dc), kTitleColour);
    ReleaseDC(about, dc);
}

TEST_F(VaultsDialogTest, EveryTextOfTheAboutPageFitsItsControl)
{
    HWND about = PageOf(2);
    HDC dc = GetDC(about);
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[1024] = "";
        if (GetWindowLongA(child, GWL_STYLE) & SS_BITMAP || !GetWindowTextA(child, text, sizeof(text)))
            continue;
        RECT client;
        GetClientRect(child, &client);
        RECT needed = client;
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)));
        DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, previous);
        EXPECT_LE(needed.bottom, client.bottom) << text;
        EXPECT_LE(needed.right, client.right) << text;
    }
    ReleaseDC(about, dc);
}

}  // namespace

namespace {

TEST_F(VaultsDialogTest, CtrlTabAndCtrlPageKeysGoRoundTheTabs)
{
    dialog->ShowOnTab(IDC_TAB_OPTIONS);
    PumpMessages();
    const struct {
        const char* keys;
        UINT modifiers;
        WORD key;
        int tab;
    } presses[] = {
        {"Ctrl+Tab", MOD_CONTROL, VK_TAB, IDC_TAB_VAULTS},
        {"Ctrl+Tab", MOD_CONTROL, VK_TAB, IDC_TAB_ABOUT},
        {"Ctrl+Tab", MOD_CONTROL, VK_TAB, IDC_TAB_OPTIONS},  // round to the first
        {"Ctrl+Shift+Tab", MOD_CONTROL | MOD_SHIFT, VK_TAB, IDC_TAB_ABOUT},
        {"Ctrl+Shift+Tab", MOD_CONTROL | MOD_SHIFT, VK_TAB, IDC_TAB_VAULTS},
        {"Ctrl+Page Down", MOD_CONTROL, VK_NEXT, IDC_TAB_ABOUT},
        {"Ctrl+Page Up", MOD_CONTROL, VK_PRIOR, IDC_TAB_VAULTS},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.keys);
        Keys(press.modifiers, press.key);
        ExpectChosen(press.tab);
    }
    EXPECT_TRUE(IsWindowVisible(Dialog()));
}

// Tab goes through the shown page's controls in the order they stand, then Exit, Help and
// Hide, and round again; the hidden pages' controls are never reached.
TEST_F(VaultsDialogTest, TabGoesThroughTheShownPageThenTheButtons)
{
    const std::vector<int> buttons = {IDC_EXIT, IDC_HELP_BUTTON, IDCANCEL};
    const struct {
        int tab;
        std::vector<int> page;
    } tabs[] = {
        {IDC_TAB_OPTIONS,
         {IDC_ROOT_DIRECTORY, IDC_SELECT_ROOT, IDC_AUTORUN, IDC_DONT_SHOW_RUNNING,
          IDC_SHOW_VAULTS_ON_START, IDC_HIDE_ICONS, IDC_HOTKEY_ONLY}},  // the hotkey is off
        {IDC_TAB_VAULTS, {IDC_VAULT_LIST}},
        {IDC_TAB_ABOUT, {}},
    };
    for (const auto& tab : tabs) {
        SCOPED_TRACE(tab.tab);
        ShowWithFocusOn(tab.tab, IDCANCEL);
        std::vector<int> expected = tab.page;
        expected.insert(expected.end(), buttons.begin(), buttons.end());
        std::vector<int> reached;
        for (size_t i = 0; i < expected.size(); ++i) {
            Keys(0, VK_TAB);
            reached.push_back(FocusId());
        }
        EXPECT_EQ(reached, expected);
        Keys(MOD_SHIFT, VK_TAB);
        EXPECT_EQ(FocusId(), buttons[1]) << "Shift+Tab goes back";
    }
}

// The focus is never left on a page that is hidden, nor lost when the dialog is hidden and shown
// again or when a window it owns closes.
TEST_F(VaultsDialogTest, TheFocusStaysOnAControlThatCanTakeIt)
{
    ShowWithFocusOn(IDC_TAB_OPTIONS, IDC_AUTORUN);
    Keys(MOD_CONTROL, VK_TAB);
    EXPECT_EQ(FocusId(), IDC_VAULT_LIST) << "from a page's control to the next page's first";
    Keys(MOD_CONTROL, VK_TAB);
    EXPECT_EQ(FocusId(), IDCANCEL) << "a page without controls: on the default button";
    SendMessageA(Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_EXIT)), TRUE);
    Keys(MOD_CONTROL, VK_TAB);
    EXPECT_EQ(FocusId(), IDC_EXIT) << "the buttons keep it";

    const struct {
        const char* how;
        int showTab;  // the tab the dialog is shown on again (0: as it was)
        int focus;    // where the focus is then
    } hides[] = {{"the same tab", 0, IDC_VAULT_LIST},
                 {"another tab", IDC_TAB_OPTIONS, IDC_ROOT_DIRECTORY}};
    for (const auto& hide : hides) {
        SCOPED_TRACE(hide.how);
        ShowWithFocusOn(IDC_TAB_VAULTS, IDC_VAULT_LIST);
        SendMessageA(Dialog(), WM_CLOSE, 0, 0);
        PumpMessages();
        ASSERT_FALSE(IsWindowVisible(Dialog()));
        dialog->ShowOnTab(hide.showTab);
        PumpMessages();
        EXPECT_EQ(FocusId(), hide.focus);
    }

    // A dialog owned by the main dialog, after it was hidden and shown again once.
    ShowWithFocusOn(IDC_TAB_VAULTS, IDC_VAULT_LIST);
    CDialog owned(IDD_ENTER_PASSWORD, dialog.get());
    RunModalWithUser(owned, "Enter Password", [](HWND) { ::PressKey(VK_ESCAPE); });
    PumpMessages();
    EXPECT_EQ(GetActiveWindow(), Dialog());
    EXPECT_EQ(FocusId(), IDC_VAULT_LIST) << "back where it was before the dialog";
}

// Every window of the program, as it shows: each labelled control has a mnemonic, and no letter
// is used twice in one window.
TEST_F(VaultsDialogTest, EveryWindowHasAMnemonicOnEachLabelAndNoLetterTwice)
{
    for (const Tab& tab : kTabs) {
        SCOPED_TRACE(tab.name);
        dialog->ShowOnTab(tab.id);
        PumpMessages();
        EXPECT_EQ(MnemonicProblems(Dialog()), std::vector<std::string>{});
    }
    dialog->ShowOnTab(0);

    VaultRecord papers;
    ASSERT_TRUE(papers.Create(app.GetVaultStore(), root.Path(), "Papers", "pw"));
    VaultRecord fresh;
    CVaultPropertiesDlg newVault, manageVault;
    newVault.Setup(&fresh, &app.GetVaultStore(), VAULT_DIALOG_NEW);
    manageVault.Setup(&papers, &app.GetVaultStore(), VAULT_DIALOG_MANAGE);
    CPasswordDlg password(papers);
    CAlreadyRunningDlg notice;
    const struct {
        const char* caption;
        CDialog* dialog;
    } windows[] = {{"New Vault", &newVault},
                   {"Manage Vault", &manageVault},
                   {"Enter Password", &password},
                   {"Already running", &notice}};
    for (const auto& window : windows) {
        SCOPED_TRACE(window.caption);
        std::vector<std::string> problems = {"not shown"};
        RunModalWithUser(*window.dialog, window.caption, [&](HWND shown) {
            problems = MnemonicProblems(shown);
            PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(problems, std::vector<std::string>{});
    }
}

}  // namespace
