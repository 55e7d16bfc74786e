#include "ui_driver.h"

#include <commctrl.h>

#include <cctype>
#include <cstring>

#include "wait_scale.h"
namespace {

struct CommonControls {
    CommonControls()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
} commonControls;

struct Search {
    const std::function<bool(HWND)>* match;
    DWORD process;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter)
{
    Search& search = *reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search.process && (*search.match)(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForTopWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs, DWORD process)
{
    timeoutMs = ScaledMs(timeoutMs);
    DWORD start = GetTickCount();
    do {
        Search search = {&match, process ? process : GetCurrentProcessId(), nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND WaitForDialog(const std::function<bool(HWND)>& match, DWORD timeoutMs, DWORD process)
{
    return WaitForTopWindow(
        [&match](HWND window) {
            char className[16] = "";
            GetClassNameA(window, className, sizeof(className));
            return std::strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
                   match(window);
        },
        timeoutMs, process);
}

bool IsMessageBox(HWND window) { return GetDlgItem(window, 0xFFFF) != nullptr; }

std::string WindowText(HWND window)
{
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

MessageBoxAnswerer::MessageBoxAnswerer(int button, DWORD timeoutMs)
{
    thread_ = std::thread([this, button, timeoutMs] {
        HWND box = WaitForDialog(IsMessageBox, timeoutMs);
        if (!box)
            return;
        caption = WindowText(box);
        text = ItemText(box, 0xFFFF);
        icon = MessageBoxIcon(box);
        seen_ = true;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    });
}

MessageBoxAnswerer::~MessageBoxAnswerer() { Wait(); }

bool MessageBoxAnswerer::Wait()
{
    if (thread_.joinable())
        thread_.join();
    return seen_;
}

EveryMessageBoxAnswerer::EveryMessageBoxAnswerer(int button)
{
    thread_ = std::thread([this, button] {
        while (!stop_) {
            HWND box = WaitForDialog(IsMessageBox, 20);
            if (!box)
                continue;
            texts_.push_back(ItemText(box, 0xFFFF));
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            for (int tries = 0; tries < 500 && IsWindow(box) && IsWindowVisible(box); ++tries)
                Sleep(10);
        }
    });
}

EveryMessageBoxAnswerer::~EveryMessageBoxAnswerer() { Stop(); }

std::vector<std::string> EveryMessageBoxAnswerer::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    return texts_;
}

namespace {

BOOL CALLBACK FindIcon(HWND child, LPARAM parameter)
{
    char className[16] = "";
    GetClassNameA(child, className, sizeof(className));
    if (_stricmp(className, "Static") != 0 || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    *reinterpret_cast<HICON*>(parameter) =
        reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    return FALSE;
}

}  // namespace

UINT MessageBoxIcon(HWND box)
{
    HICON shown = nullptr;
    EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&shown));
    const struct {
        LPCSTR icon;
        UINT flag;
    } icons[] = {{IDI_HAND, MB_ICONSTOP},
                 {IDI_QUESTION, MB_ICONQUESTION},
                 {IDI_EXCLAMATION, MB_ICONWARNING},
                 {IDI_ASTERISK, MB_ICONINFORMATION}};
    for (const auto& known : icons)
        if (shown && shown == LoadIconA(nullptr, known.icon))
            return known.flag;
    return 0;
}

namespace {

// The letter after the first single "&" of a control's text, lower case; 0 for none.
char Mnemonic(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return char(tolower(UCHAR(text[i + 1])));
        ++i;  // "&&" shows one "&"
    }
    return 0;
}

std::string ClassOf(HWND window)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// A control that takes typed input and has no text of its own to carry a mnemonic.
bool IsInputField(HWND window)
{
    std::string name = ClassOf(window);
    return _stricmp(name.c_str(), "Edit") == 0 || name == HOTKEY_CLASSA || name == WC_LISTVIEWA ||
           _stricmp(name.c_str(), "ComboBox") == 0;
}

// The next visible window after `control` among its siblings.
HWND NextVisibleSibling(HWND control)
{
    HWND next = GetWindow(control, GW_HWNDNEXT);
    while (next && !IsWindowVisible(next))
        next = GetWindow(next, GW_HWNDNEXT);
    return next;
}

// Whether `control` must carry a mnemonic.
bool NeedsMnemonic(HWND control)
{
    std::string name = ClassOf(control);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    int id = GetDlgCtrlID(control);
    HWND next = NextVisibleSibling(control);
    bool labelsAField = next && IsInputField(next);
    if (_stricmp(name.c_str(), "Button") == 0) {
        LONG type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX)
            return labelsAField;
        bool ownButton = id == IDOK || id == IDCANCEL || (id >= 0x3020 && id <= 0x3026) ||
                         id == IDHELP;
        return !((type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) && ownButton);
    }
    if (_stricmp(name.c_str(), "Static") == 0)
        return (style & SS_TYPEMASK) <= SS_RIGHT && !(style & SS_NOPREFIX) && labelsAField;
    return false;
}

BOOL CALLBACK CollectControl(HWND child, LPARAM controls)
{
    if (IsWindowVisible(child))
        reinterpret_cast<std::vector<HWND>*>(controls)->push_back(child);
    return TRUE;
}

}  // namespace

std::vector<std::string> MnemonicProblems(HWND window)
{
    std::vector<HWND> controls;
    EnumChildWindows(window, CollectControl, reinterpret_cast<LPARAM>(&controls));
    std::vector<std::string> problems;
    std::string seen[256];
    for (HWND control : controls) {
        std::string text = WindowText(control);
        char letter = Mnemonic(text);
        if (!letter) {
            if (NeedsMnemonic(control))
                problems.push_back("no mnemonic: \"" + text + "\"");
            continue;
        }
        std::string& first = seen[UCHAR(letter)];
        if (!first.empty())
            problems.push_back(std::string("'") + letter + "' twice: \"" + first + "\", \"" +
                               text + "\"");
        else
            first = text;
    }
    return problems;
}

bool IsProgressDialog(HWND window) { return GetDlgItem(window, 1025) != nullptr; }

CancelAnswer CancelProgressDialog(int button)
{
    CancelAnswer result;
    result.progress = WaitForDialog(IsProgressDialog);
    if (!result.progress)
        return result;
    MessageBoxAnswerer answer(button);
    PostMessageA(result.progress, WM_COMMAND, IDCANCEL, 0);
    result.asked = answer.Wait();
    result.caption = answer.caption;
    result.text = answer.text;
    return result;
}

std::vector<int> ProgressBarRecorder::positions;
std::atomic<int> ProgressBarRecorder::count{0};

ProgressBarRecorder::ProgressBarRecorder()
{
    positions.clear();
    count = 0;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
}

ProgressBarRecorder::~ProgressBarRecorder() { UnhookWindowsHookEx(hook_); }

LRESULT CALLBACK ProgressBarRecorder::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == PBM_SETPOS) {
        positions.push_back(int(call->wParam));
        ++count;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

RemoteMemory::RemoteMemory(HANDLE process, size_t size)
    : process_(process),
      address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
{
}

RemoteMemory::~RemoteMemory()
{
    if (address_)
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteMemory::Write(const void* data, size_t size, size_t offset)
{
    SIZE_T written = 0;
    return address_ &&
           WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size,
                              &written) &&
           written == size;
}

bool RemoteMemory::Read(void* data, size_t size, size_t offset) const
{
    SIZE_T read = 0;
    return address_ &&
           ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &read) &&
           read == size;
}

bool MakeHostSymlink(const std::string& target, const std::string& linkPath)
{
    typedef char*(CDECL * UnixName)(const WCHAR*);
    auto toUnix = reinterpret_cast<UnixName>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix)
        return false;
    auto unixPath = [&](const std::string& path) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char* name = toUnix(wide);
        std::string result = name ? name : "";
        HeapFree(GetProcessHeap(), 0, name);
        return result;
    };
    // Wine hands the command line to the host program split at blanks; the scratch paths have none.
    std::string command = "ln -s " + unixPath(target) + " " + unixPath(linkPath);
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessA("Z:\\bin\\ln", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // The handle of a host process does not tell when it ends; watch for the link instead.
    for (int tries = 0; tries < 500; ++tries) {
        if (GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(10);
    }
    return false;
}
