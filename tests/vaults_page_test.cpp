// The Vaults page on a scratch store and vaults root, hosted in a plain window as the main dialog
// will host it, and driven with the messages a user's clicks produce. The main window is a
// stand-in that counts the tray refreshes posted to it; the context menu and the opening of
// folders go through the page's seams, so no menu loop or file browser is started.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "dialog_user.h"
#include "engine/vault/vault_claim.h"
#include "keyboard_input.h"
#include "resources/resource.h"
#include "scratch.h"
#include "shell/vaults_app.h"
#include "ui/app_messages.h"
#include "ui/bitmap_pixels.h"
#include "ui/greyed_bitmap.h"
#include "ui/vault_state_images.h"
#include "ui/vaults_page.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const char kPassword[] = "pw";
const COLORREF kPageColour = RGB(238, 241, 244);

// What the page asked of the world around it.
std::vector<std::string> openedFolders;
int trayRefreshes = 0;

bool RecordOpenFolder(VaultRecord& record, const std::string&)
{
    openedFolders.push_back(record.Name());
    return true;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_REFRESH_TRAY_ICON && wParam == 0 && lParam == 0) {
        ++trayRefreshes;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The context menu as the page offered it, and the item the test then chooses (0: none).
struct OfferedMenu {
    bool shown = false;
    bool create = false, manage = false, unlock = false, lock = false, check = false;
    UINT defaultItem = UINT(-1);
};
OfferedMenu offeredMenu;
UINT menuChoice = 0;

bool ItemEnabled(HMENU menu, UINT id) { return !(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED); }

BOOL WINAPI OfferMenu(HMENU menu, UINT, int, int, int, HWND owner, const RECT*)
{
    offeredMenu.shown = true;
    offeredMenu.create = ItemEnabled(menu, IDC_VAULT_NEW);
    offeredMenu.manage = ItemEnabled(menu, IDC_VAULT_MANAGE);
    offeredMenu.unlock = ItemEnabled(menu, IDC_VAULT_UNLOCK);
    offeredMenu.lock = ItemEnabled(menu, IDC_VAULT_LOCK);
    offeredMenu.check = ItemEnabled(menu, IDC_VAULT_CHECK);
    offeredMenu.defaultItem = GetMenuDefaultItem(menu, FALSE, 0);
    // As the real menu does: the chosen item is posted to the owner as its command.
    if (menuChoice)
        PostMessageA(owner, WM_COMMAND, menuChoice, 0);
    return TRUE;
}

HWND CreatePlainWindow(const char* className, WNDPROC procedure, DWORD style)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);  // refused, harmlessly, once the class exists
    return CreateWindowExA(0, className, "Zovantri Orvella", style, 40, 40, 100, 100, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

struct SeenDialog {
    std::string title;
    std::string text;  // a message box's text
    UINT icon = 0;     // a message box's icon
};

// Cancels every dialog this process shows while it exists, and keeps what they said: for steps
// that must open none, or only a message box. Without it, a dialog opened by mistake would wait
// for an answer forever.
class DialogCatcher {
public:
    DialogCatcher()
        : thread_([this] {
              auto any = [](HWND) { return true; };
              while (!stop_) {
                  HWND dialog = WaitForDialog(any, 20);
                  if (!dialog)
                      continue;
                  seen_.push_back({WindowText(dialog), IsMessageBox(dialog) ? ItemText(dialog, 0xFFFF) : "",
                                   IsMessageBox(dialog) ? MessageBoxIcon(dialog) : 0});
                  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                  WaitUntilGone(dialog, 2000);
              }
          })
    {
    }
    ~DialogCatcher() { Stop(); }
    std::vector<SeenDialog> Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return seen_;
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<SeenDialog> seen_;
    std::thread thread_;
};

// Runs `act` on this thread while `user` answers its dialogs from a helper thread. Should `act`
// still wait some seconds after the user is done, every dialog left open is reported as a failure
// and cancelled, so that a failing test ends instead of waiting forever.
void RunWithUser(const std::function<void()>& act, const std::function<void()>& user)
{
    std::atomic<bool> done{false};
    std::thread helper([&] {
        user();
        for (DWORD start = GetTickCount(); !done && GetTickCount() - start < ScaledMs(10000);)
            Sleep(20);
        if (done)
            return;
        DialogCatcher catcher;
        while (!done)
            Sleep(20);
        for (const SeenDialog& left : catcher.Stop())
            ADD_FAILURE() << "left open: \"" << left.title << "\" " << left.text;
    });
    act();
    done = true;
    helper.join();
}

// From a helper thread: types `password` into the next password dialog and presses OK. True
// when the dialog closed; one that stays open (a wrong password) is cancelled.
bool EnterPassword(const std::string& password)
{
    HWND dialog = WaitForTitledDialog("Enter Password");
    if (!dialog)
        return false;
    TypeInto(dialog, IDC_VAULT_PASSWORD, password);
    Click(dialog, IDOK);
    if (!StaysOpen(dialog))
        return true;
    Click(dialog, IDCANCEL);
    WaitUntilGone(dialog);
    return false;
}

// The four commands, each on or off: enabled, or shown in colour rather than greyed.
struct Commands {
    bool create, manage, unlock, lock;
    bool operator==(const Commands& other) const
    {
        return create == other.create && manage == other.manage && unlock == other.unlock &&
               lock == other.lock;
    }
};
std::ostream& operator<<(std::ostream& out, const Commands& c)
{
    return out << "{new " << c.create << ", manage " << c.manage << ", unlock " << c.unlock
               << ", lock " << c.lock << "}";
}
const Commands kOnlyNew = {true, false, false, false};
const Commands kAll = {true, true, true, true};
const Commands kAllButLock = {true, true, true, false};

// The colours of a picture's pixels other than its background (the top-left pixel's colour).
std::vector<RGBQUAD> PictureColours(HBITMAP picture)
{
    std::vector<RGBQUAD> pixels = ReadBitmapPixels(picture).colours;
    std::vector<RGBQUAD> colours;
    for (const RGBQUAD& pixel : pixels)
        if (std::memcmp(&pixel, &pixels.front(), 3) != 0)
            colours.push_back(pixel);
    return colours;
}

bool IsGrey(const RGBQUAD& pixel)
{
    return pixel.rgbRed == pixel.rgbGreen && pixel.rgbGreen == pixel.rgbBlue;
}

// True when the picture has something on its background and all of that is grey.
bool LooksGreyed(HBITMAP picture)
{
    std::vector<RGBQUAD> colours = PictureColours(picture);
    for (const RGBQUAD& pixel : colours)
        if (!IsGrey(pixel))
            return false;
    return !colours.empty();
}

class VaultsPageTest : public ::testing::Test {
public:  // the cases of a table use the helpers too
    VaultsPageTest()
    {
        EXPECT_TRUE(app.OpenSharedObjects(key.Handle(), "App"));
        app.SetVaultsRoot(root.Path());
        mainWindow.Attach(CreatePlainWindow("VaultsPageTestMain", MainWindowProc, WS_POPUP));
        app.m_pMainWnd = &mainWindow;
        savedOpenFolder_ = CVaultsPage::openFolder;
        savedTrackPopupMenu_ = CVaultsPage::trackPopupMenu;
        CVaultsPage::openFolder = RecordOpenFolder;
        CVaultsPage::trackPopupMenu = OfferMenu;
        openedFolders.clear();
        trayRefreshes = 0;
        offeredMenu = {};
        menuChoice = 0;
    }

    ~VaultsPageTest() override
    {
        page.reset();
        DestroyWindow(host.m_hWnd);
        DestroyWindow(mainWindow.m_hWnd);
        app.m_pMainWnd = nullptr;
        CVaultsPage::openFolder = savedOpenFolder_;
        CVaultsPage::trackPopupMenu = savedTrackPopupMenu_;
    }

    VaultStore& Store() { return app.GetVaultStore(); }
    std::string FolderOf(const VaultRecord& vault) { return vault.folder.FolderPath(root.Path()); }

    // A saved vault with one file, locked with kPassword when asked.
    VaultRecord AddVault(const std::string& name, bool locked = false)
    {
        VaultRecord vault;
        EXPECT_TRUE(vault.Create(Store(), root.Path(), name, kPassword));
        WriteFileBytes(FolderOf(vault) + "\\note.txt", "kept");
        if (locked) {
            EXPECT_TRUE(vault.Lock(root.Path(), kPassword));
        }
        EXPECT_TRUE(Store().Save(vault));
        return vault;
    }

    VaultRecord Stored(uint32_t id)
    {
        VaultRecord record;
        EXPECT_TRUE(Store().Load(id, record));
        return record;
    }

    void ShowPage()
    {
        host.Attach(CreatePlainWindow("VaultsPageTestHost", DefWindowProcA,
                                      WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE));
        page.reset(new CVaultsPage);
        ASSERT_TRUE(page->Create(&host));
        RECT size;
        GetWindowRect(page->m_hWnd, &size);
        SetWindowPos(host.m_hWnd, nullptr, 0, 0, size.right - size.left + 20,
                     size.bottom - size.top + 40, SWP_NOMOVE | SWP_NOZORDER);
        ShowWindow(page->m_hWnd, SW_SHOW);
        UpdateWindow(host.m_hWnd);
    }

    HWND Page() const { return page->m_hWnd; }
    HWND List() const { return page->GetDlgItem(IDC_VAULT_LIST); }
    int RowCount() const { return ListView_GetItemCount(List()); }

    std::vector<std::string> RowNames() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < RowCount(); ++row) {
            char text[300] = "";
            ListView_GetItemText(List(), row, 0, text, sizeof(text));
            names.push_back(text);
        }
        return names;
    }
    int RowOf(const std::string& name) const
    {
        std::vector<std::string> names = RowNames();
        for (size_t row = 0; row < names.size(); ++row)
            if (names[row] == name)
                return int(row);
        return -1;
    }
    // 1: the open padlock (unlocked), 2: the closed one (locked).
    int StateImage(int row) const
    {
        return int(ListView_GetItemState(List(), row, LVIS_STATEIMAGEMASK) >> 12);
    }
    uint32_t RowId(int row) const
    {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        ListView_GetItem(List(), &item);
        return uint32_t(item.lParam);
    }
    int SelectedRow() const { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }

    void Select(int row)
    {
        ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    void Deselect(int row) { ListView_SetItemState(List(), row, 0, LVIS_SELECTED | LVIS_FOCUSED); }

    // A command as a picture's click, a menu item or another window's post brings it; returns
    // when it and whatever it posted are done.
    void Command(int id)
    {
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                     reinterpret_cast<LPARAM>(page->GetDlgItem(id)));
        PumpMessages();
    }

    POINT RowPoint(int row) const
    {
        RECT bounds;
        ListView_GetItemRect(List(), row, &bounds, LVIR_LABEL);
        return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
    }
    POINT EmptyPoint() const
    {
        RECT client;
        GetClientRect(List(), &client);
        return {client.right / 2, client.bottom - 5};
    }
    // The pointer goes where a user's would, so that no stray mouse move looks like a drag.
    void PointAt(POINT at) const
    {
        ClientToScreen(List(), &at);
        SetCursorPos(at.x, at.y);
    }
    void DoubleClick(POINT at)
    {
        PointAt(at);
        SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PumpMessages();
    }
    void RightClick(POINT at)
    {
        PointAt(at);
        // The list follows the button until it is released: the release waits in the queue.
        PostMessageA(List(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        SendMessageA(List(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
        PumpMessages();
    }

    // Keys as the keyboard gives them to the list, which has the focus; returns once the page
    // has handled them and what they posted.
    void KeysInList(UINT modifiers, WORD key)
    {
        SetForegroundWindow(host.m_hWnd);
        SetFocus(List());
        PressKeyCombination(modifiers, key);
        for (int round = 0; round < 5; ++round) {
            Sleep(10);
            PumpMessages();
        }
    }

    Commands Enabled() const
    {
        auto on = [this](int id) { return IsWindowEnabled(page->GetDlgItem(id)) != FALSE; };
        return {on(IDC_VAULT_NEW), on(IDC_VAULT_MANAGE), on(IDC_VAULT_UNLOCK), on(IDC_VAULT_LOCK)};
    }
    // Which of the four command pictures show in colour rather than greyed.
    Commands InColour() const
    {
        auto colour = [this](int id) {
            return !LooksGreyed(reinterpret_cast<HBITMAP>(
                SendMessageA(page->GetDlgItem(id), STM_GETIMAGE, IMAGE_BITMAP, 0)));
        };
        return {colour(IDC_VAULT_NEW), colour(IDC_VAULT_MANAGE), colour(IDC_VAULT_UNLOCK),
                colour(IDC_VAULT_LOCK)};
    }

    ScratchKey key;
    ScratchFolder root;
    CVaultsApp app;
    CWnd mainWindow;
    CWnd host;
    std::unique_ptr<CVaultsPage> page;

private:
    OpenFolderFunction savedOpenFolder_;
    TrackPopupFunction savedTrackPopupMenu_;
};

}  // namespace

TEST(VaultStateImages, TheirDepthFollowsTheDisplayMode)
{
    const struct {
        int bitsPerPixel;
        UINT depth;
    } cases[] = {{4, ILC_COLOR4}, {8, ILC_COLOR8}, {16, ILC_COLOR32},
                 {24, ILC_COLOR32}, {32, ILC_COLOR32}, {0, ILC_COLOR32}};
    for (const auto& c : cases)
        EXPECT_EQ(StateImageColourDepth(c.bitsPerPixel), c.depth) << c.bitsPerPixel << " bits";
}

TEST(GreyedBitmap, KeepsTheBackgroundAndTurnsTheRestIntoLightGreys)
{
    const COLORREF background = kPageColour;
    const COLORREF drawn[] = {RGB(246, 186, 42), RGB(68, 76, 88), RGB(0, 0, 0), RGB(18, 42, 98)};
    HDC screen = GetDC(nullptr);
    HBITMAP source = CreateCompatibleBitmap(screen, 1 + int(std::size(drawn)), 1);
    HDC canvas = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(canvas, source);
    SetPixel(canvas, 0, 0, background);
    for (size_t i = 0; i < std::size(drawn); ++i)
        SetPixel(canvas, int(i) + 1, 0, drawn[i]);
    SelectObject(canvas, previous);

    HBITMAP greyed = MakeGreyedBitmap(source);
    ASSERT_TRUE(greyed);
    SelectObject(canvas, greyed);
    EXPECT_EQ(GetPixel(canvas, 0, 0), background);
    for (size_t i = 0; i < std::size(drawn); ++i) {
        COLORREF grey = GetPixel(canvas, int(i) + 1, 0);
        SCOPED_TRACE(i);
        EXPECT_TRUE(GetRValue(grey) == GetGValue(grey) && GetGValue(grey) == GetBValue(grey));
        // Halfway to the background: light, yet still apart from it.
        EXPECT_GE(GetRValue(grey), 120);
        EXPECT_LT(GetRValue(grey), 235);
    }
    SelectObject(canvas, previous);
    DeleteDC(canvas);
    ReleaseDC(nullptr, screen);
    DeleteObject(greyed);
    DeleteObject(source);
}

TEST_F(VaultsPageTest, AnEmptyStoreOffersOnlyNew)
{
    ShowPage();
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Enabled(), kOnlyNew);

    RightClick(EmptyPoint());
    EXPECT_TRUE(offeredMenu.shown);
    EXPECT_TRUE(offeredMenu.create);
    EXPECT_FALSE(offeredMenu.manage || offeredMenu.unlock || offeredMenu.lock);
    EXPECT_EQ(offeredMenu.defaultItem, UINT(IDC_VAULT_NEW));

    DialogCatcher catcher;
    DoubleClick(EmptyPoint());
    std::vector<SeenDialog> seen = catcher.Stop();
    ASSERT_EQ(seen.size(), 1u) << "double-clicking the empty list opens New";
    EXPECT_EQ(seen[0].title, "New Vault");
    EXPECT_EQ(RowCount(), 0) << "a cancelled New lists nothing";
}

TEST_F(VaultsPageTest, RowsFollowTheStoreOrderWithTheirNamesIdsAndLockPictures)
{
    // Created in this order, so not in the order of their names.
    VaultRecord zeta = AddVault("Zeta"), alpha = AddVault("alpha", true), mid = AddVault("Mid");
    ShowPage();

    std::vector<std::string> storeOrder;
    VaultRecord record;
    for (bool found = Store().First(record); found; found = Store().Next(record))
        storeOrder.push_back(record.Name());
    EXPECT_EQ(storeOrder, (std::vector<std::string>{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(RowNames(), storeOrder);
    EXPECT_EQ((std::vector<uint32_t>{RowId(0), RowId(1), RowId(2)}),
              (std::vector<uint32_t>{zeta.id, alpha.id, mid.id}));
    EXPECT_EQ((std::vector<int>{StateImage(0), StateImage(1), StateImage(2)}),
              (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_EQ(Enabled(), kOnlyNew);

    HIMAGELIST images = ListView_GetImageList(List(), LVSIL_STATE);
    ASSERT_TRUE(images);
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(ImageList_GetImageCount(images), 2);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);

    char heading[32] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = heading;
    column.cchTextMax = sizeof(heading);
    ASSERT_TRUE(ListView_GetColumn(List(), 0, &column));
    EXPECT_STREQ(heading, "Name");
    EXPECT_GE(column.cx, ListView_GetStringWidth(List(), "Zeta"));
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(List()) & LVS_EX_FULLROWSELECT);
}

TEST_F(VaultsPageTest, SelectionEnablesWhatTheVaultAllowsAndGreysTheRest)
{
    AddVault("Open");
    AddVault("Shut", true);
    ShowPage();
    const struct {
        const char* what;
        int row;
        Commands enabled;
    } cases[] = {{"unlocked vault", 0, kAll}, {"locked vault", 1, kAllButLock}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Select(c.row);
        EXPECT_EQ(Enabled(), c.enabled);
        EXPECT_EQ(InColour(), c.enabled);
        Deselect(c.row);
        EXPECT_EQ(Enabled(), kOnlyNew);
        EXPECT_EQ(InColour(), kOnlyNew);
    }
    // Moving the selection from one row to another leaves the new row's commands.
    Select(0);
    Select(1);
    EXPECT_EQ(Enabled(), kAllButLock);
}

TEST_F(VaultsPageTest, TheContextMenuOffersWhatTheSelectionAllowsAndRunsTheChoice)
{
    AddVault("Open");
    AddVault("Shut", true);
    ShowPage();
    const struct {
        const char* what;
        int row;
        bool manage, unlock, lock, check;
        UINT defaultItem;
    } cases[] = {{"unlocked vault", 0, true, true, true, false, IDC_VAULT_UNLOCK},
                 {"locked vault", 1, true, true, false, true, IDC_VAULT_UNLOCK},
                 {"no vault", -1, false, false, false, false, IDC_VAULT_NEW}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        offeredMenu = {};
        if (c.row >= 0)
            Select(c.row);
        RightClick(c.row >= 0 ? RowPoint(c.row) : EmptyPoint());
        EXPECT_EQ(SelectedRow(), c.row);
        ASSERT_TRUE(offeredMenu.shown);
        EXPECT_TRUE(offeredMenu.create);
        EXPECT_EQ(offeredMenu.manage, c.manage);
        EXPECT_EQ(offeredMenu.unlock, c.unlock);
        EXPECT_EQ(offeredMenu.lock, c.lock);
        EXPECT_EQ(offeredMenu.check, c.check);
        EXPECT_EQ(offeredMenu.defaultItem, c.defaultItem);
    }

    // The chosen item comes back as its command.
    menuChoice = IDC_VAULT_UNLOCK;
    Select(0);
    RightClick(RowPoint(0));
    EXPECT_EQ(openedFolders, std::vector<std::string>{"Open"});
}

// The list from the keyboard: the arrow keys move the selection and the commands follow it;
// the context-menu key and Shift+F10 open the menu the right button opens, at the selected row.
TEST_F(VaultsPageTest, TheArrowKeysAndTheMenuKeysWorkTheList)
{
    AddVault("Open");
    AddVault("Shut", true);
    ShowPage();
    Select(0);
    KeysInList(0, VK_DOWN);
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(Enabled(), kAllButLock);
    KeysInList(0, VK_UP);
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(Enabled(), kAll);

    const struct {
        const char* keys;
        UINT modifiers;
        WORD key;
        int row;
        bool lock;
    } menus[] = {{"context-menu key", 0, VK_APPS, 0, true},
                 {"Shift+F10", MOD_SHIFT, VK_F10, 1, false},
                 {"Shift+F10 without a selection", MOD_SHIFT, VK_F10, -1, false}};
    for (const auto& menu : menus) {
        SCOPED_TRACE(menu.keys);
        Deselect(SelectedRow());
        if (menu.row >= 0)
            Select(menu.row);
        offeredMenu = {};
        KeysInList(menu.modifiers, menu.key);
        ASSERT_TRUE(offeredMenu.shown);
        EXPECT_EQ(offeredMenu.manage, menu.row >= 0);
        EXPECT_EQ(offeredMenu.lock, menu.lock);
        EXPECT_EQ(SelectedRow(), menu.row);
    }
    menuChoice = IDC_VAULT_UNLOCK;
    Select(0);
    KeysInList(MOD_SHIFT, VK_F10);
    EXPECT_EQ(openedFolders, std::vector<std::string>{"Open"}) << "the chosen item runs";
}

// The Delete key removes the selected vault after the question that Remove in the Manage dialog
// asks, and the password; No, a wrong password or no selection leave every vault as it was.
TEST_F(VaultsPageTest, TheDeleteKeyRemovesTheSelectedVaultAfterTheQuestionAndThePassword)
{
    VaultRecord doomed = AddVault("Doomed");
    AddVault("Kept");
    ShowPage();
    AnsweredMessageBox asked;
    RunWithUser([this] { KeysInList(0, VK_DELETE); }, [] {
        ASSERT_FALSE(WaitForDialog([](HWND) { return true; }, 500)) << "nothing selected";
    });
    Select(0);
    RunWithUser([this] { KeysInList(0, VK_DELETE); }, [&] {
        asked = AnswerMessageBox(IDNO);
    });
    EXPECT_EQ(asked.caption, "Manage Vault");
    EXPECT_EQ(asked.text, "Are you sure to remove vault 'Doomed'?\r\nAll contents will be lost!");
    EXPECT_EQ(asked.icon, UINT(MB_ICONQUESTION));
    RunWithUser([this] { KeysInList(0, VK_DELETE); }, [&] {
        EXPECT_TRUE(AnswerMessageBox(IDYES).seen);
        EXPECT_FALSE(EnterPassword("wrong"));
    });
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Doomed", "Kept"}));
    EXPECT_TRUE(Exists(FolderOf(doomed)));

    RunWithUser([this] { KeysInList(0, VK_DELETE); }, [&] {
        EXPECT_TRUE(AnswerMessageBox(IDYES).seen);
        EXPECT_TRUE(EnterPassword(kPassword));
    });
    EXPECT_EQ(RowNames(), std::vector<std::string>{"Kept"});
    VaultRecord record;
    EXPECT_FALSE(Store().Load(doomed.id, record));
    EXPECT_FALSE(Exists(FolderOf(doomed)));
}

TEST_F(VaultsPageTest, AVaultRemovedBehindThePagesBackGoesWithTheNextUseOfItsRow)
{
    const struct {
        const char* vault;
        void (*use)(VaultsPageTest& test, int row);
    } cases[] = {
        {"double click", [](VaultsPageTest& t, int row) { t.DoubleClick(t.RowPoint(row)); }},
        {"right click", [](VaultsPageTest& t, int row) { t.RightClick(t.RowPoint(row)); }},
        {"Manage", [](VaultsPageTest& t, int) { t.Command(IDC_VAULT_MANAGE); }},
        {"Lock", [](VaultsPageTest& t, int) { t.Command(IDC_VAULT_LOCK); }},
        {"Unlock and open", [](VaultsPageTest& t, int) { t.Command(IDC_VAULT_UNLOCK); }},
    };
    std::vector<VaultRecord> gone;
    for (const auto& c : cases)
        gone.push_back(AddVault(c.vault));
    AddVault("Kept");
    ShowPage();
    for (VaultRecord& vault : gone)
        Store().Remove(vault, root.Path());  // as the console companion would

    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].vault);
        int row = RowOf(cases[i].vault);
        ASSERT_GE(row, 0);
        Select(row);
        EXPECT_EQ(RowCount(), int(std::size(cases) - i) + 1) << "selecting deletes nothing";
        EXPECT_TRUE(Enabled().manage);

        DialogCatcher catcher;
        cases[i].use(*this, row);
        EXPECT_TRUE(catcher.Stop().empty()) << "no dialog for a vault that is gone";
        EXPECT_EQ(RowOf(cases[i].vault), -1);
        EXPECT_EQ(Enabled(), kOnlyNew);
    }
    EXPECT_EQ(RowNames(), std::vector<std::string>{"Kept"});
    EXPECT_FALSE(offeredMenu.shown);
    EXPECT_TRUE(openedFolders.empty());
    EXPECT_EQ(trayRefreshes, 0);
}

TEST_F(VaultsPageTest, LockAndUnlockFromTheListChangeTheRowAndTellTheTray)
{
    VaultRecord vault = AddVault("Papers");
    ShowPage();
    Select(0);

    RunWithUser([this] { Command(IDC_VAULT_LOCK); }, [] { EXPECT_TRUE(EnterPassword(kPassword)); });
    EXPECT_EQ(StateImage(0), 2);
    EXPECT_TRUE(Stored(vault.id).IsLocked());
    EXPECT_FALSE(Exists(FolderOf(vault)));
    EXPECT_EQ(Enabled(), kAllButLock);
    EXPECT_EQ(trayRefreshes, 1);
    EXPECT_TRUE(openedFolders.empty());

    // Unlock and open, as the double click posts it.
    RunWithUser([this] { DoubleClick(RowPoint(0)); }, [] { EXPECT_TRUE(EnterPassword(kPassword)); });
    EXPECT_EQ(StateImage(0), 1);
    EXPECT_FALSE(Stored(vault.id).IsLocked());
    EXPECT_EQ(ReadFileBytes(FolderOf(vault) + "\\note.txt"), "kept");
    EXPECT_EQ(Enabled(), kAll);
    EXPECT_EQ(trayRefreshes, 2);
    EXPECT_EQ(openedFolders, std::vector<std::string>{"Papers"});
}

TEST_F(VaultsPageTest, ALockOrUnlockThatDoesNotGoThroughChangesNothing)
{
    const struct {
        const char* vault;
        bool locked;
        int command;
        const char* typed;
        bool engineRefuses;
    } cases[] = {
        {"Wrong password to lock", false, IDC_VAULT_LOCK, "wrong", false},
        {"Wrong password to unlock", true, IDC_VAULT_UNLOCK, "wrong", false},
        // The engine never replaces a container it did not write, nor unlocks a damaged one.
        {"Container in the way", false, IDC_VAULT_LOCK, kPassword, true},
        {"Damaged container", true, IDC_VAULT_UNLOCK, kPassword, true},
    };
    for (const auto& c : cases) {
        VaultRecord vault = AddVault(c.vault, c.locked);
        if (c.engineRefuses)
            WriteFileBytes(vault.folder.ContainerPath(root.Path()), "not this vault's container");
    }
    ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vault);
        int row = RowOf(c.vault);
        Select(row);
        Commands before = Enabled();
        AnsweredMessageBox reason;
        RunWithUser([&] { Command(c.command); }, [&] {
            EXPECT_EQ(EnterPassword(c.typed), c.engineRefuses) << "a wrong one keeps the dialog open";
            if (c.engineRefuses)
                reason = AnswerMessageBox(IDOK);
        });
        EXPECT_EQ(reason.seen, c.engineRefuses) << "the engine tells why, the page says nothing";
        EXPECT_EQ(StateImage(row), c.locked ? 2 : 1);
        EXPECT_EQ(Stored(RowId(row)).IsLocked(), c.locked);
        EXPECT_EQ(Exists(root / (std::string(c.vault) + "\\note.txt")), !c.locked);
        EXPECT_EQ(Enabled(), before);
    }
    EXPECT_EQ(trayRefreshes, 0);
    EXPECT_TRUE(openedFolders.empty()) << "nothing is opened after a failed unlock";
}

// Check... asks the password, checks the container behind the progress window and says what it
// found; the vault stays locked and its container as it was.
TEST_F(VaultsPageTest, CheckFromTheMenuShowsWhatItFound)
{
    VaultRecord vault = AddVault("Papers", true);
    std::string container = vault.folder.ContainerPath(root.Path());
    const struct {
        const char* what;
        std::string bytes;  // put in place of the container; empty: as the lock wrote it
        const char* found;
        UINT icon;
    } cases[] = {
        {"sound", "", " of vault \"Papers\" is sound: 1 file (4 bytes) and 0 folders",
         MB_ICONINFORMATION},
        {"damaged", std::string(16, '\0'), " of vault \"Papers\" is damaged: entry 1 at offset 0",
         MB_ICONWARNING},
    };
    ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.bytes.empty()) {
            SetFileAttributesA(container.c_str(), FILE_ATTRIBUTE_NORMAL);
            WriteFileBytes(container, c.bytes);
        }
        std::string before = ReadFileBytes(container);
        Select(0);
        menuChoice = IDC_VAULT_CHECK;
        AnsweredMessageBox result;
        RunWithUser([this] { RightClick(RowPoint(0)); }, [&] {
            EXPECT_TRUE(EnterPassword(kPassword));
            result = AnswerMessageBox(IDOK);
        });
        EXPECT_NE(result.text.find(c.found), std::string::npos) << result.text;
        EXPECT_EQ(result.icon, c.icon);
        EXPECT_EQ(ReadFileBytes(container), before);
        EXPECT_TRUE(Stored(vault.id).IsLocked());
        EXPECT_EQ(StateImage(0), 2);
    }
}

TEST_F(VaultsPageTest, UnlockAndOpenOnAnUnlockedVaultAsksNothingAndStillTellsTheTray)
{
    AddVault("Open");
    ShowPage();
    Select(0);
    DialogCatcher catcher;
    Command(IDC_VAULT_UNLOCK);
    EXPECT_TRUE(catcher.Stop().empty());
    EXPECT_EQ(openedFolders, std::vector<std::string>{"Open"});
    EXPECT_EQ(trayRefreshes, 1);
}

TEST_F(VaultsPageTest, NewListsTheVaultLastAndSelectsIt)
{
    AddVault("Zeta");
    ShowPage();
    RunWithUser([this] { Command(IDC_VAULT_NEW); }, [] {
        HWND dialog = WaitForTitledDialog("New Vault");
        ASSERT_TRUE(dialog);
        TypeInto(dialog, IDC_VAULT_NAME, "Aardvark");
        TypeInto(dialog, IDC_VAULT_PASSWORD, "secret");
        TypeInto(dialog, IDC_VAULT_CONFIRM, "secret");
        Click(dialog, IDOK);
    });

    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Zeta", "Aardvark"}));
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_TRUE(ListView_GetItemState(List(), 1, LVIS_FOCUSED));
    EXPECT_EQ(StateImage(1), 1);
    VaultRecord created = Stored(RowId(1));
    EXPECT_EQ(created.Name(), "Aardvark");
    EXPECT_TRUE(created.CheckPassword("secret"));
    EXPECT_EQ(Enabled(), kAll);
    EXPECT_EQ(trayRefreshes, 0);
}

TEST_F(VaultsPageTest, ManageRenamesTheVaultInItsOwnRow)
{
    AddVault("First");
    VaultRecord middle = AddVault("Middle");
    AddVault("Last");
    ShowPage();
    Select(1);
    RunWithUser([this] { Command(IDC_VAULT_MANAGE); }, [] {
        HWND dialog = WaitForTitledDialog("Manage Vault");
        ASSERT_TRUE(dialog);
        TypeInto(dialog, IDC_VAULT_NAME, "Aaa renamed");
        Click(dialog, IDOK);
        EXPECT_TRUE(EnterPassword(kPassword));
    });

    EXPECT_EQ(RowNames(), (std::vector<std::string>{"First", "Aaa renamed", "Last"}));
    EXPECT_EQ(RowId(1), middle.id);
    EXPECT_EQ(Stored(middle.id).Name(), "Aaa renamed");
    EXPECT_TRUE(Exists(root / "Aaa renamed\\note.txt"));
    EXPECT_EQ(trayRefreshes, 0);
}

TEST_F(VaultsPageTest, RemoveDeletesTheVaultAndItsRow)
{
    VaultRecord doomed = AddVault("Doomed");
    AddVault("Kept");
    ShowPage();
    Select(0);
    RunWithUser([this] { Command(IDC_VAULT_MANAGE); }, [] {
        HWND dialog = WaitForTitledDialog("Manage Vault");
        ASSERT_TRUE(dialog);
        Click(dialog, IDC_VAULT_REMOVE);
        EXPECT_TRUE(AnswerMessageBox(IDYES).seen);
        EXPECT_TRUE(EnterPassword(kPassword));
    });

    EXPECT_EQ(RowNames(), std::vector<std::string>{"Kept"});
    VaultRecord record;
    EXPECT_FALSE(Store().Load(doomed.id, record));
    EXPECT_FALSE(Exists(FolderOf(doomed)));
    EXPECT_EQ(Enabled(), kOnlyNew);
    EXPECT_EQ(trayRefreshes, 0);
}

TEST_F(VaultsPageTest, AVaultClaimedElsewhereIsRefusedAndLeftAsItWas)
{
    const struct {
        const char* vault;
        int command;
        bool locked;
    } cases[] = {{"Managed", IDC_VAULT_MANAGE, false},
                 {"Locked", IDC_VAULT_LOCK, false},
                 {"Unlocked", IDC_VAULT_UNLOCK, true}};
    for (const auto& c : cases)
        AddVault(c.vault, c.locked);
    ShowPage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vault);
        int row = RowOf(c.vault);
        Select(row);
        VaultClaim elsewhere;
        ASSERT_TRUE(elsewhere.ClaimVault(root.Path(), RowId(row)));

        DialogCatcher catcher;
        Command(c.command);
        std::vector<SeenDialog> seen = catcher.Stop();
        ASSERT_EQ(seen.size(), 1u) << "only the refusal, no vault dialog";
        EXPECT_EQ(seen[0].title, AfxGetAppName());
        EXPECT_EQ(seen[0].text, VaultInUseText(c.vault));
        EXPECT_EQ(seen[0].icon, UINT(MB_ICONSTOP));
        EXPECT_EQ(StateImage(row), c.locked ? 2 : 1);
        EXPECT_EQ(Stored(RowId(row)).IsLocked(), c.locked);
    }
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(trayRefreshes, 0);
    EXPECT_TRUE(openedFolders.empty());
}

TEST_F(VaultsPageTest, TheHeaderIsAFlatBandWithItsTextSetIn)
{
    ShowPage();
    HWND header = ListView_GetHeader(List());
    RECT item;
    ASSERT_TRUE(Header_GetItemRect(header, 0, &item));
    HDC screen = GetDC(header);
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, item.right, item.bottom);
    HGDIOBJ previous = SelectObject(canvas, bitmap);
    RECT all = {0, 0, item.right, item.bottom};
    FillRect(canvas, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageA(header, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas), PRF_CLIENT);

    const COLORREF band = RGB(210, 211, 213);
    EXPECT_EQ(GetPixel(canvas, item.left + 1, item.top + 1), band);
    EXPECT_EQ(GetPixel(canvas, item.right - 2, item.bottom - 3), band);
    EXPECT_NE(GetPixel(canvas, item.left + 1, item.bottom - 1), band) << "2 pixels shorter";
    auto inkBetween = [&](int left, int right) {
        for (int x = left; x < right; ++x)
            for (int y = item.top; y < item.bottom - 2; ++y)
                if (GetRValue(GetPixel(canvas, x, y)) < 100)
                    return true;
        return false;
    };
    EXPECT_FALSE(inkBetween(item.left, item.left + 10)) << "the text starts 10 pixels in";
    EXPECT_TRUE(inkBetween(item.left + 10, item.left + 40)) << "\"Name\" is drawn in black";

    SelectObject(canvas, previous);
    DeleteObject(bitmap);
    DeleteDC(canvas);
    ReleaseDC(header, screen);
}

TEST_F(VaultsPageTest, ThePageAndItsPicturesSitOnThePageColour)
{
    ShowPage();
    const struct {
        UINT message;
        HWND control;
    } cases[] = {{WM_CTLCOLORDLG, Page()}, {WM_CTLCOLORSTATIC, page->GetDlgItem(IDC_VAULT_LOCK)}};
    HDC screen = GetDC(Page());
    for (const auto& c : cases) {
        SetBkMode(screen, OPAQUE);
        LRESULT brush = SendMessageA(Page(), c.message, reinterpret_cast<WPARAM>(screen),
                                     reinterpret_cast<LPARAM>(c.control));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), app.GetPageBrush()) << c.message;
        EXPECT_EQ(GetBkMode(screen), TRANSPARENT) << c.message;
    }
    ReleaseDC(Page(), screen);
    LOGBRUSH colour = {};
    GetObjectA(app.GetPageBrush(), sizeof(colour), &colour);
    EXPECT_EQ(colour.lbColor, kPageColour);
}
