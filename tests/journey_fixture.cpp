#include "journey_fixture.h"

#include <commctrl.h>

#include "engine/base/registry_key.h"
#include "engine/vault/vault_store.h"
#include "installed_program.h"
#include "program_windows.h"
#include "resources/resource.h"
#include "shell/main_frame.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM parameter)
{
    ControlSearch* search = reinterpret_cast<ControlSearch*>(parameter);
    if (GetDlgCtrlID(child) != search->id || !IsWindowVisible(child))
        return TRUE;
    search->found = child;
    return FALSE;
}

// Where row `row` of a list view of `process` lies on the screen; empty when it cannot be told.
RECT RowBounds(HANDLE process, HWND list, int row)
{
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    RemoteMemory memory(process, sizeof(bounds));
    if (!memory.Write(&bounds, sizeof(bounds)) ||
        !SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(memory.Address())) ||
        !memory.Read(&bounds, sizeof(bounds)))
        return RECT();
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

// The selected row of a list view of another process; -1 when none is.
int SelectedRow(HWND list)
{
    return int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

}  // namespace

std::map<std::string, std::string> UserFiles()
{
    std::string big;
    for (int i = 0; i < 70000; ++i)
        big += char('a' + i * 7 % 26);
    return {{"letter.txt", "Dear user"}, {"empty.bin", ""}, {"Photos\\big.raw", big}};
}

HWND FindVisibleDescendant(HWND window, int id)
{
    ControlSearch search = {id, nullptr};
    EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitForWizardPage(HWND wizard, int number)
{
    return Eventually([&] {
        HWND page = reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
        return page && SendMessageA(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0) ==
                           number - 1;
    }, 10000);
}

void ClickWhenOffered(HWND wizard, int id)
{
    HWND button = GetDlgItem(wizard, id);
    Eventually([&] { return IsWindowVisible(button) && IsWindowEnabled(button); }, 5000);
    PostMessageA(button, BM_CLICK, 0, 0);
}

void PressButton(HWND button)
{
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void TypeText(HWND dialog, int id, const char* text)
{
    HWND edit = GetDlgItem(dialog, id);
    std::wstring wide(size_t(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], int(wide.size()));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
}

std::string EditText(HWND edit)
{
    char text[MAX_PATH] = "";
    SendMessageA(edit, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

bool HotkeyTaken(UINT modifiers, UINT key)
{
    const int kProbeId = 0x7123;
    if (!RegisterHotKey(nullptr, kProbeId, modifiers, key))
        return true;
    UnregisterHotKey(nullptr, kProbeId);
    return false;
}

std::string FolderListing(const std::string& folder)
{
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names += name + ":" + std::to_string(found.dwFileAttributes) + ";";
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

DriveFolder::DriveFolder()
{
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof(windows));
    path_ = std::string(windows, 3) + "Orvella journey " + std::to_string(GetCurrentProcessId());
    RemoveTree(path_);  // what an ended run of the same process id may have left
    CreateDirectoryA(path_.c_str(), nullptr);
}

JourneyTest::JourneyTest()
{
    RemoveInstallation();
    ProgramUnderTest::SetVaultsRoot(root.Path());
}

JourneyTest::~JourneyTest()
{
    if (process)
        CloseHandle(process);
    RemoveInstallation();
}

HWND JourneyTest::WaitForTitled(const char* title, DWORD timeoutMs)
{
    return WaitForDialog([&](HWND w) { return WindowText(w) == title; }, timeoutMs, Id());
}

VaultRecord JourneyTest::Vault()
{
    std::vector<VaultRecord> records = Records();
    EXPECT_FALSE(records.empty()) << "no vault record";
    return records.empty() ? VaultRecord() : records.front();
}

std::vector<VaultRecord> JourneyTest::Records()
{
    std::vector<VaultRecord> records;
    CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
    VaultStore store;
    VaultRecord vault;
    if (store.Open(app))
        for (bool more = store.First(vault); more; more = store.Next(vault))
            records.push_back(vault);
    return records;
}

std::vector<std::string> JourneyTest::VaultNames()
{
    std::vector<std::string> names;
    for (const VaultRecord& vault : Records())
        names.push_back(vault.Name());
    return names;
}

VaultRecord JourneyTest::RecordNamed(const std::string& name)
{
    for (const VaultRecord& vault : Records())
        if (vault.Name() == name)
            return vault;
    return VaultRecord();
}

int JourneyTest::RowOf(const std::string& name)
{
    std::vector<std::string> names = VaultNames();
    for (size_t row = 0; row < names.size(); ++row)
        if (names[row] == name)
            return int(row);
    return -1;
}

DWORD JourneyTest::Setting(const char* name)
{
    return CRegistryKey(kAppKey, HKEY_CURRENT_USER).ReadDword(name, 7);
}

std::string JourneyTest::RunValue()
{
    return CRegistryKey(kRunKey, HKEY_CURRENT_USER).ReadString("Zovantri Orvella", "");
}

HWND JourneyTest::VaultsPageButton(int id, int row)
{
    PostMessageA(frame, WM_COMMAND, ID_MANAGE_VAULTS, 0);
    if (row < 0 || WaitForVisibleTab(dialog, IDC_TAB_VAULTS) != IDC_TAB_VAULTS)
        return nullptr;
    HWND list = FindVisibleDescendant(dialog, IDC_VAULT_LIST);
    HWND button = FindVisibleDescendant(dialog, id);
    if (!list || !button)
        return nullptr;
    // The first click may come before the page is active; a user clicks again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        SetForegroundWindow(dialog);
        Sleep(ScaledMs(200));
        RECT bounds = RowBounds(process, list, row);
        ShellDesktop::Click({bounds.left + 30, (bounds.top + bounds.bottom) / 2}, false);
        if (Eventually([&] { return SelectedRow(list) == row && IsWindowEnabled(button); }, 3000))
            return button;
    }
    return nullptr;
}

bool JourneyTest::CreateWithNew(const char* name, const char* password)
{
    HWND make = VaultsPageButton(IDC_VAULT_NEW);
    if (!make)
        return false;
    PressButton(make);
    HWND fresh = WaitForTitled("New Vault");
    if (!fresh)
        return false;
    TypeText(fresh, IDC_VAULT_NAME, name);
    TypeText(fresh, IDC_VAULT_PASSWORD, password);
    TypeText(fresh, IDC_VAULT_CONFIRM, password);
    PressButton(GetDlgItem(fresh, IDOK));
    return true;
}

bool JourneyTest::AnswerPasswordPrompt(const std::string& before)
{
    HWND prompt = WaitForTitled("Enter Password");
    if (!prompt)
        return false;
    HWND edit = GetDlgItem(prompt, IDC_VAULT_PASSWORD);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("wrong"));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
    Sleep(ScaledMs(300));
    EXPECT_TRUE(IsWindowVisible(prompt)) << "a wrong password closed the prompt";
    EXPECT_FALSE(WaitForDialog(IsMessageBox, 0, Id())) << "a wrong password only beeps";
    EXPECT_EQ(Listing(), before) << "a wrong password changed the disk";
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("secret"));
    PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
    return true;
}

HWND JourneyTest::OpenManage(int row, const std::string& name)
{
    HWND manage = VaultsPageButton(IDC_VAULT_MANAGE, row);
    if (!manage)
        return nullptr;
    PressButton(manage);
    HWND shown = WaitForTitled("Manage Vault");
    std::string shownName = shown ? EditText(GetDlgItem(shown, IDC_VAULT_NAME)) : "";
    EXPECT_EQ(shownName, name) << "row " << row;
    return shownName == name ? shown : nullptr;
}

std::string JourneyTest::AnswerBox(int button)
{
    HWND box = WaitForDialog(IsMessageBox, 10000, Id());
    if (!box)
        return "";
    std::string text = ItemText(box, 0xFFFF);
    PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
    Eventually([&] { return !IsWindow(box); }, 10000);
    return text;
}

bool JourneyTest::LockOrUnlock(const std::string& name, bool lock, const char* password)
{
    HWND button = VaultsPageButton(lock ? IDC_VAULT_LOCK : IDC_VAULT_UNLOCK, RowOf(name));
    if (!button)
        return false;
    PressButton(button);
    return ProvePassword(password) &&
           Eventually([&] { return RecordNamed(name).IsLocked() == lock; }, 15000);
}

HWND JourneyTest::OptionsControl(int id)
{
    PostMessageA(frame, WM_COMMAND, ID_SHOW_OPTIONS, 0);
    HWND control = nullptr;
    if (WaitForVisibleTab(dialog, IDC_TAB_OPTIONS) == IDC_TAB_OPTIONS)
        Eventually([&] { return (control = FindVisibleDescendant(dialog, id)) != nullptr; }, 5000);
    return control;
}

LRESULT JourneyTest::ClickOption(int id)
{
    HWND box = OptionsControl(id);
    DWORD_PTR result = 0;
    if (!box || !SendMessageTimeoutA(box, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result))
        return -1;
    return SendMessageA(box, BM_GETCHECK, 0, 0);
}

bool JourneyTest::CloseMainDialog()
{
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return WaitForVisibleTab(dialog, 0) == 0;
}

void JourneyTest::InstallPastFirstStart()
{
    ASSERT_TRUE(desktop.IsJoined()) << "this thread could not join the shell desktop";
    ASSERT_TRUE(InstallProgram()) << SetupPath();
    CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
    app.WriteDword("FirstRun", 0);
    app.WriteDword("AutoRun", 0);
    app.WriteDword("DontShowRunningWarning", 1);
    exe = InstalledExePath();
}

void JourneyTest::StartInstalled()
{
    process = program.Start(ShellDesktop::kName, exe);
    ASSERT_TRUE(process) << exe;
    frame = WaitForMainFrame(Id(), 20000);
    dialog = WaitForMainDialog(Id(), 20000);
    ASSERT_TRUE(frame && dialog);
}

bool JourneyTest::ProvePassword(const char* password)
{
    HWND prompt = WaitForTitled("Enter Password");
    if (!prompt)
        return false;
    TypeText(prompt, IDC_VAULT_PASSWORD, password);
    PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
    return Eventually([&] { return !IsWindow(prompt); }, 10000);
}
